#pragma once
// Writing a launch's record (see launchrecord.h for its text) as the launch
// changes the game folder.
//
// Records live in "<program folder>records/" (made private when missing), one
// "<id>.record" per launch; the content of files the launch replaces or
// removes is kept in "<id>.saved/<n>", n = 1, 2, ... An id is
// "<game>-<seconds since the epoch, 20 digits>.<nanoseconds, 9 digits>-<pid>",
// so within one game the ids sort as the launches happened.
//
// The record appears under its name whole, with its header, and already
// locked: the recorder holds an exclusive flock on it for its whole life, so
// the clean-up tool never takes a launch in progress for one that was
// abandoned. The descriptor is never inherited by what the launch starts.
#include <cstdint>
#include <memory>
#include <string>

#include <sys/types.h>

#include "base/result.h"
#include "core/record/changerecorder.h"
#include "core/record/launchrecord.h"

namespace fdk {

// The records folder in the launch state's folder (the program folder where it
// is portable), with its trailing separator.
std::string RecordsFolder(const std::string& stateFolder);

// A record's id; see above.
std::string RecordId(char game, std::int64_t seconds, std::int64_t nanoseconds, pid_t pid);

class LaunchRecorder final : public ChangeRecorder {
 public:
  // Creates the record of a launch of `game` ('1' or '2') into gameFolder,
  // which must exist: its identity on disk goes into the header.
  static Result<LaunchRecorder> Create(const std::string& stateFolder, char game, const std::string& gameFolder);

  // Placements keep a pointer to the recorder they were given: it must not be
  // moved while they live.
  LaunchRecorder(LaunchRecorder&&) noexcept;
  LaunchRecorder& operator=(LaunchRecorder&&) noexcept;
  LaunchRecorder(const LaunchRecorder&) = delete;
  LaunchRecorder& operator=(const LaunchRecorder&) = delete;
  ~LaunchRecorder() override;  // releases the lock; the record stays

  // Each appends one line with one write. A file in the way is looked at
  // without following links: a plain file's content is copied, a symbolic
  // link is kept as a link with the same target (put back, it is a link
  // again). A path not below the game folder, one reached through a link, or
  // anything else than a file or a link where a file is replaced or removed,
  // is refused. After one failed write every later one fails too, so a cut
  // line can never be followed by another.
  Status BeforeFolder(const std::string& path) override;
  Status BeforeWrite(const std::string& path) override;
  Status AfterWrite(const std::string& path) override;
  Status BeforeRemove(const std::string& path) override;

  // The game the launch started.
  Status GameStarted(const ProcessIdentity& game);

  // The record file's full path.
  const std::string& path() const;

 private:
  struct State;
  explicit LaunchRecorder(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace fdk
