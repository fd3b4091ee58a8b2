#pragma once
// The only way the clean-up tool touches the game folder: paths relative to it,
// walked one name at a time without ever following a symbolic link, so that no
// journal line and no link inside the folder can lead a removal outside it.
#include <optional>
#include <string>
#include <string_view>

#include <sys/stat.h>

#include "base/result.h"
#include "term/core/journal.h"

namespace fdk {

enum class Removal {
  Removed,
  Missing,   // already gone
  Changed,   // a file whose size or modification time differs: the game's or the player's now
  NotEmpty,  // a folder that still holds something
  Refused,   // unsafe path, or a link or another kind of entry where a file or folder was recorded
  Failed,    // the system refused the removal
};

FileStamp StampOf(const struct stat& info);

class GameFolder {
 public:
  // Opens the game folder itself (which may well be a link to another disk).
  static Result<GameFolder> Open(const std::string& root);
  GameFolder(GameFolder&& other) noexcept;
  GameFolder& operator=(GameFolder&&) = delete;
  GameFolder(const GameFolder&) = delete;
  ~GameFolder();

  // lstat of a relative path; nullopt when it is unsafe, missing or lies beyond a link.
  std::optional<struct stat> Lstat(std::string_view path) const;

  // Removes a plain file whose size and modification time still match stamp.
  Removal RemoveFileIfUnchanged(std::string_view path, const FileStamp& stamp) const;

  // Removes a folder that is empty.
  Removal RemoveFolderIfEmpty(std::string_view path) const;

 private:
  explicit GameFolder(int fd) : fd_(fd) {}
  // The folder holding the path's last name, opened without following links;
  // -1 with errno set when the way there is missing or not a plain folder.
  int openParent(std::string_view path, std::string& leaf) const;

  int fd_ = -1;
};

}  // namespace fdk
