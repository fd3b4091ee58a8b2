#pragma once
// Every install (MODs, maps, skins, models, config sets) puts its files into a
// game folder through a Placement. The games and their add-ons were made on a
// file system that ignores letter case, so a path is matched against what
// already exists without regard to ASCII case: "MAPS/DM1.BSP" goes into an
// existing "maps/", and "PAK0.PAK" finds an existing "pak0.pak". A missing
// folder is made with the entry's spelling.
//
// Nothing below the root is followed through a symbolic link: a link, or a
// file, where a folder part must go refuses the entry, because it could lead
// outside the root. Among names that differ only in case a real folder wins
// over a link or a file, whatever the listing's order. Folders are opened one
// part at a time without following links, so a link swapped in meanwhile is
// refused as well.
//
// Files are written under a temporary name of the placement's own,
// ".fragdock-part-<pid>.tmpXXXXXX", beside their target. One that is dropped
// is removed; one in flight when SIGTERM or SIGINT arrives is removed by the
// signal handler, which then lets the signal do what it did before; and one
// left by a process that no longer runs (killed outright, a crash) is removed
// when a later placement lists its folder.
//
// Given a ChangeRecorder, a placement tells it every folder it makes before
// making it, every file it begins (new, or the one it replaces) before its
// temporary file is made, and every file it puts in place. What it keeps
// because it is there is not told. A refused announcement refuses the entry.
// Placements opened below one share its recorder.
//
// A Placement keeps the listings of the folders it has looked into, so that
// thousands of entries into one folder cost one listing, not one each. It is
// meant for one install run: changes made beside it by other means are not
// seen until a new Placement is opened.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "base/result.h"
#include "core/placement/entrypath.h"
#include "core/record/changerecorder.h"

namespace fdk {

struct PlacementState;

// One file being written under a temporary name beside its target. It appears
// under its real name only through Commit; dropped without a successful
// Commit (a failure on the way), its temporary file is removed, so a failure
// never leaves a half-written file. It must not outlive its Placement.
class PendingFile {
 public:
  PendingFile(PendingFile&& other) noexcept;
  PendingFile& operator=(PendingFile&&) = delete;
  PendingFile(const PendingFile&) = delete;
  ~PendingFile();

  // The path the file gets: existing folders and an existing file in their spelling on disk.
  const std::string& target() const { return target_; }

  Status Write(std::string_view bytes);
  // Renames the complete file into place. Without overwrite, an entry that
  // appeared at the target since Begin is kept and the commit fails.
  Status Commit();

 private:
  friend class Placement;
  PendingFile(PlacementState& state, int folderFd, int fd, int slot, std::string folderKey, std::string temp,
              std::string name, std::string target, bool overwrite);
  void Discard();

  PlacementState* state_;
  int folderFd_;  // the target's folder, opened without following links
  int fd_;        // the temporary file
  int slot_;      // where the signal handler finds the temporary file; -1 for none
  std::string folderKey_;
  std::string temp_;
  std::string name_;
  std::string target_;
  bool overwrite_;
};

// A plain file already below the root, open for reading. It was reached and
// opened without following any link, so what it reads is what sits at the
// place, never what a link points to.
class ExistingFile {
 public:
  ExistingFile(ExistingFile&& other) noexcept;
  ExistingFile& operator=(ExistingFile&&) = delete;
  ExistingFile(const ExistingFile&) = delete;
  ~ExistingFile();

  std::uint64_t size() const { return size_; }
  // Up to size bytes; 0 at the end.
  Result<std::size_t> Read(char* buffer, std::size_t size);

 private:
  friend class Placement;
  ExistingFile(int fd, std::uint64_t size, std::string path);

  int fd_;
  std::uint64_t size_;
  std::string path_;
};

class Placement {
 public:
  // Opens the destination root, making it (and its parents) when missing. The
  // root itself may be a link the user set up; nothing below it is followed.
  // With a recorder the root must exist: a recorded install writes into a
  // game folder and never makes one. The recorder must outlive the placement.
  static Result<Placement> Open(const std::string& root, ChangeRecorder* recorder = nullptr);

  Placement(Placement&&) noexcept;
  Placement& operator=(Placement&&) noexcept;
  ~Placement();

  // The root with a trailing separator.
  const std::string& root() const;

  // Opens a folder below the root as a placement of its own, making its
  // parts where missing; found and refused the way every path is.
  Result<Placement> OpenFolder(const EntryPath& folder);

  // Whether anything (file, folder, link) sits at the entry's place, letter
  // case ignored in every part. A refused or missing folder on the way means no.
  bool Exists(const EntryPath& entry);

  // Whether a file entry's place is taken by anything but a folder (a file,
  // a link) in any letter case: what an install must not replace. A folder
  // entry never finds a file.
  bool FileExists(const EntryPath& entry);

  // The path of an existing folder below the root in its spelling on disk
  // ("MyMod" for an entry "mymod/"), without a trailing separator; nothing
  // when it is missing or refused.
  std::optional<std::string> FolderSpelling(const EntryPath& folder);

  // Opens the file at a file entry's place for reading, letter case ignored
  // as FileExists does (its own spelling first among twins). Only a plain
  // file opens: a link, a folder or anything else there is an error, as is
  // nothing there or a refused folder on the way. Nothing is made.
  Result<ExistingFile> OpenExisting(const EntryPath& entry);

  // Makes the folders of an entry where missing: a file entry's folders, or a
  // folder entry's folders including its own.
  Status MakeFolders(const EntryPath& entry);

  // Starts the file of a file entry, making its folders. Without overwrite,
  // anything already at the place (in any letter case) refuses the file; with
  // it, an existing file is replaced under its own spelling and keeps its
  // permissions.
  Result<PendingFile> Begin(const EntryPath& entry, bool overwrite);

 private:
  explicit Placement(std::unique_ptr<PlacementState> state);
  std::unique_ptr<PlacementState> state_;
};

// Whether a name has the shape of a placement's temporary file.
bool IsPartFileName(std::string_view name);
// How the temporary files of the placements of one process begin:
// ".fragdock-part-<pid>.".
std::string PartFilePrefix(pid_t writer);

// Whether SIGTERM or SIGINT has arrived since the first placement of this
// process was opened. From then on no placement starts, writes or commits a
// file, so an install in progress ends soon and the program can quit.
bool InstallsStopped();

}  // namespace fdk
