#pragma once
// A program folder, a game folder and launch records written the way a launch
// writes them: each change made for real, its line formatted by the record's
// own formatters, saved copies beside the record.
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "core/record/launchrecord.h"
#include "testing/gametree.h"

namespace fdk::termtest {

FileStamp StampAt(const std::string& path);

// A game that has ended: no process has this session.
inline constexpr ProcessIdentity kEndedGame{2147480000, 1, 2147480000};

// A Quake 2 folder with two files of its own, and the program folder beside it.
struct Rig {
  GameTree dir;
  std::string program = dir.program();
  std::string records = program + "records/";
  std::string root = dir.quake2().game;

  Rig();
  std::string log() const;
};

// One launch's record, built change by change while the change is made.
class Launch {
 public:
  // seq orders launches: a later launch has a larger one.
  Launch(Rig& rig, int seq, char game = '2');

  Launch& folder(const std::string& path);
  Launch& file(const std::string& path, const std::string& content, bool completed = true);
  Launch& replace(const std::string& path, const std::string& content, bool completed = true);
  Launch& remove(const std::string& path);
  Launch& started(const ProcessIdentity& game = kEndedGame);

  // Writes the record file; returns its path.
  std::string write() const;
  const std::string& id() const { return id_; }
  std::string path() const;
  LaunchRecord& record() { return record_; }

 private:
  std::string save(const std::string& path);
  Rig& rig_;
  std::string id_;
  LaunchRecord record_;
  int saved_ = 0;
};

void WriteFile(const std::string& path, const std::string& content);

}  // namespace fdk::termtest
