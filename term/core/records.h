#pragma once
// The records folder: one "<id>.record" per launch with its saved copies in
// "<id>.saved/", saved copies kept because the game changed their file in
// "kept/", and records that cannot be acted on set aside as "<id>.record.bad".
//
// An id is "<game>-<seconds, 20 digits>.<nanoseconds, 9 digits>-<pid>", so ids
// of one game sort as strings in launch order. Whoever holds a record's flock
// (the launch making it, the term finishing it) owns it; a record nobody
// holds whose game has ended was left by a term that died.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "core/record/launchrecord.h"

namespace fdk {

bool IsRecordId(std::string_view id);

// Which folder a record is of: its root and what the root was when recorded.
std::string FolderKeyOf(const LaunchRecord& record);

class RecordLock {
 public:
  enum class State {
    Taken,
    Busy,  // another process holds it (only when not waiting)
    Gone,  // the record was finished and removed meanwhile
  };
  // Opens and locks the record; `wait` blocks until the lock is free.
  static Result<RecordLock> Take(const std::string& recordPath, bool wait);
  RecordLock(RecordLock&& other) noexcept;
  RecordLock& operator=(RecordLock&&) = delete;
  RecordLock(const RecordLock&) = delete;
  ~RecordLock();

  State state() const { return state_; }
  bool taken() const { return state_ == State::Taken; }
  int fd() const { return fd_; }

 private:
  RecordLock(State state, int fd) : state_(state), fd_(fd) {}
  State state_;
  int fd_;
};

class RecordFolder {
 public:
  explicit RecordFolder(std::string folder);  // with its trailing separator

  const std::string& folder() const { return folder_; }
  std::string recordPath(std::string_view id) const { return folder_ + std::string(id) + ".record"; }
  std::string savedFolder(std::string_view id) const { return folder_ + std::string(id) + ".saved/"; }
  std::string keptFolder() const { return folder_ + "kept/"; }

  // The ids of the records there, in launch order; a missing folder holds none.
  std::vector<std::string> List() const;
  // The whole record, or only its header lines (enough to know its game folder).
  Result<LaunchRecord> Read(std::string_view id) const;
  Result<LaunchRecord> ReadHeader(std::string_view id) const;
  // Renames the record to "<id>.record.bad"; its saved copies stay where they are.
  Status SetAside(std::string_view id) const;
  // Removes the saved copies, then the record itself: a run stopped between
  // the two finds the record again and repeats steps that are all done.
  Status Discard(std::string_view id) const;

 private:
  std::string folder_;
};

}  // namespace fdk
