#pragma once
// The install snapshot: the game folder's folders and files as they were before
// a launch installed anything, written as "list.v" and "list.f" for the
// clean-up tool.
#include <cstddef>
#include <string>
#include <vector>

#include "base/result.h"

namespace fdk {

struct InstallSnapshot {
  std::vector<std::string> folders;  // "list.v": each with a trailing separator; the game folder first
  std::vector<std::string> files;    // "list.f": full paths
};

// Told while a snapshot lists a large folder, so the window can show progress
// and keep repainting.
class SnapshotHost {
 public:
  virtual ~SnapshotHost() = default;
  virtual void folderEntered(const std::string& /*folder*/, std::size_t /*filesSoFar*/) {}
};

// bsavestatusClick: lists the game folder recursively. A missing folder gives
// empty lists.
InstallSnapshot TakeSnapshot(const std::string& gameFolder, SnapshotHost* host = nullptr);

// bcomparestatusClick: writes "list.v" and "list.f" (CR LF) into the launch
// state's folder (the program folder where it is portable), each replaced whole
// or not at all.
Status WriteSnapshotFiles(const InstallSnapshot& snapshot, const std::string& stateFolder);

// Reads "list.v" and "list.f" back from the state folder (the clean-up tool
// does; the launcher never does). A missing or unreadable file is an error
// naming it; empty files give empty lists.
Result<InstallSnapshot> ReadSnapshotFiles(const std::string& stateFolder);

// The game folder the way a snapshot names it: exactly one trailing separator
// (the first line of "list.v").
std::string SnapshotRoot(const std::string& gameFolder);

}  // namespace fdk
