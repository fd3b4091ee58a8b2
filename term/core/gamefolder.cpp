#include "term/core/gamefolder.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace fdk {

namespace {

// Closes a descriptor at the end of a scope.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

Removal failureOf(int error) {
  if (error == ENOENT) return Removal::Missing;
  // ELOOP: a link on the way (O_NOFOLLOW); ENOTDIR: a file where a folder was.
  return (error == ELOOP || error == ENOTDIR) ? Removal::Refused : Removal::Failed;
}

}  // namespace

FileStamp StampOf(const struct stat& info) {
  return FileStamp{static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
                   static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

Result<GameFolder> GameFolder::Open(const std::string& root) {
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Error("Cannot open the game folder " + root, std::strerror(errno));
  return GameFolder(fd);
}

GameFolder::GameFolder(GameFolder&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

GameFolder::~GameFolder() {
  if (fd_ >= 0) ::close(fd_);
}

int GameFolder::openParent(std::string_view path, std::string& leaf) const {
  if (!IsSafeRelativePath(path)) {
    errno = EINVAL;
    return -1;
  }
  int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::size_t start = 0;
  for (std::size_t slash = path.find('/'); fd >= 0 && slash != std::string_view::npos;
       slash = path.find('/', start)) {
    const std::string part(path.substr(start, slash - start));
    const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    ::close(fd);
    errno = error;
    fd = next;
    start = slash + 1;
  }
  leaf = std::string(path.substr(start));
  return fd;
}

std::optional<struct stat> GameFolder::Lstat(std::string_view path) const {
  std::string leaf;
  Fd parent{openParent(path, leaf)};
  struct stat info {};
  if (parent.fd < 0 || ::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return info;
}

Removal GameFolder::RemoveFileIfUnchanged(std::string_view path, const FileStamp& stamp) const {
  std::string leaf;
  Fd parent{openParent(path, leaf)};
  if (parent.fd < 0) return errno == EINVAL ? Removal::Refused : failureOf(errno);
  struct stat info {};
  if (::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return failureOf(errno);
  if (!S_ISREG(info.st_mode)) return Removal::Refused;
  if (StampOf(info) != stamp) return Removal::Changed;
  return ::unlinkat(parent.fd, leaf.c_str(), 0) == 0 ? Removal::Removed : failureOf(errno);
}

Removal GameFolder::RemoveFolderIfEmpty(std::string_view path) const {
  std::string leaf;
  Fd parent{openParent(path, leaf)};
  if (parent.fd < 0) return errno == EINVAL ? Removal::Refused : failureOf(errno);
  struct stat info {};
  if (::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return failureOf(errno);
  if (!S_ISDIR(info.st_mode)) return Removal::Refused;
  if (::unlinkat(parent.fd, leaf.c_str(), AT_REMOVEDIR) == 0) return Removal::Removed;
  return (errno == ENOTEMPTY || errno == EEXIST) ? Removal::NotEmpty : failureOf(errno);
}

}  // namespace fdk
