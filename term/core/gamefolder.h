#pragma once
// The only way the clean-up tool touches the game folder: paths relative to it,
// walked one name at a time without ever following a symbolic link, so that no
// record line and no link inside the folder can lead a change outside it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "base/result.h"
#include "core/record/launchrecord.h"

namespace fdk {

enum class Removal {
  Removed,
  Missing,   // already gone
  Changed,   // a file whose size or modification time differs: the game's or the player's now
  NotEmpty,  // a folder that still holds something
  Refused,   // unsafe path, or a link or another kind of entry where a file or folder was recorded
  Failed,    // the system refused the removal
};


// What is at a path now, as far as finishing a record cares.
struct Presence {
  enum class Kind {
    Missing,      // nothing there (the folders on the way may be missing too)
    File,         // a plain file, with its stamp
    Other,        // a folder, a link or anything else
    Unreachable,  // the way there holds a link or a file, or the path is unsafe
  };
  Kind kind = Kind::Missing;
  FileStamp stamp;
  bool isFile(const FileStamp& s) const { return kind == Kind::File && stamp == s; }
};

class GameFolder {
 public:
  // Opens the game folder itself (which may well be a link to another disk).
  static Result<GameFolder> Open(const std::string& root);
  GameFolder(GameFolder&& other) noexcept;
  GameFolder& operator=(GameFolder&&) = delete;
  GameFolder(const GameFolder&) = delete;
  ~GameFolder();

  // The device and inode of the opened folder: which folder it is.
  struct stat Identity() const;

  // lstat of a relative path; nullopt when it is unsafe, missing or lies beyond a link.
  std::optional<struct stat> Lstat(std::string_view path) const;
  Presence Look(std::string_view path) const;

  // Removes a plain file whose size and modification time still match stamp;
  // without a stamp, any plain file.
  Removal RemoveFileIfUnchanged(std::string_view path, const std::optional<FileStamp>& stamp) const;

  // Removes a folder that is empty.
  Removal RemoveFolderIfEmpty(std::string_view path) const;

  // Writes the content of savedFd at path: into a new file beside it, whose
  // modification time is set to `modified` (so a launch recorded earlier
  // recognises its own file) and which is then renamed over whatever plain
  // file is there. The folders on the way must exist; nothing is followed.
  Status PutBack(std::string_view path, int savedFd, const FileStamp& modified) const;

  // Removes the plain files beside path whose names start with prefix and that
  // `isTemporary` accepts: the temporary files of a launch that was killed
  // while it wrote path, which nothing else would ever remove.
  void RemoveTemporariesBeside(std::string_view path, std::string_view prefix,
                               const std::function<bool(std::string_view name)>& isTemporary) const;

  // The same for a symbolic link the launch replaced: a link to `target` is
  // made beside it, given the link's earlier time, and renamed into place. It
  // is the player's own link put back; it is never followed here.
  Status PutBackLink(std::string_view path, const std::string& target, const FileStamp& modified) const;

 private:
  explicit GameFolder(int fd) : fd_(fd) {}
  // The folder holding the path's last name, opened without following links;
  // -1 with errno set when the way there is missing or not a plain folder.
  // `owned`: the caller closes it (otherwise it is the remembered folder).
  int openParent(std::string_view path, std::string& leaf, bool& owned) const;

  int fd_ = -1;
  // The folder of the last path walked: a record lists a folder's files one
  // after the other, so most walks end where the last one did. Forgotten when
  // a folder is removed.
  mutable std::string lastFolder_;
  mutable int lastFolderFd_ = -1;
};

}  // namespace fdk
