#include "term/core/gamefolder.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fdk {

namespace {

// Closes a descriptor at the end of a scope.
struct Fd {
  int fd;
  bool owned = true;  // false: the game folder's remembered folder, closed by it
  ~Fd() {
    if (fd >= 0 && owned) ::close(fd);
  }
};

Removal failureOf(int error) {
  if (error == ENOENT) return Removal::Missing;
  // ELOOP: a link on the way (O_NOFOLLOW); ENOTDIR: a file where a folder was.
  return (error == ELOOP || error == ENOTDIR) ? Removal::Refused : Removal::Failed;
}

Status systemError(std::string what, std::string_view path, int error) {
  return Error(std::move(what) + " " + std::string(path), std::strerror(error));
}

Status copyAll(int from, int to) {
  char buffer[1 << 16];
  for (off_t offset = 0;;) {
    // pread: the saved copy's own position is left as it is.
    const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Error("Cannot read the saved copy for", std::strerror(errno));
    if (got == 0) return {};
    offset += got;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return Error("Cannot write the file being put back at", std::strerror(errno));
      done += put;
    }
  }
}

// A name beside the target that no game file has: hidden, the tool's own mark,
// this process and a counter. Kept short enough for any file system.
// A saved copy goes back only where the folder was reached without following
// links and nothing but a plain file, or nothing, is at the place.
Status placeForPutBack(int parentFd, const std::string& leaf, std::string_view path) {
  if (parentFd < 0) return systemError("Cannot reach the folder of", path, errno);
  struct stat there {};
  if (::fstatat(parentFd, leaf.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(there.st_mode))
    return Error("Not putting back " + std::string(path), "something other than a plain file is there");
  return {};
}

std::string temporaryName(const std::string& leaf) {
  static std::atomic<unsigned> counter{0};
  return "." + leaf.substr(0, 160) + ".fdkterm-" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

Status fillTemporary(int tmp, int savedFd, const FileStamp& modified, std::string_view path) {
  struct stat saved {};
  if (::fstat(savedFd, &saved) != 0) return systemError("Cannot read the saved copy of", path, errno);
  if (Status copied = copyAll(savedFd, tmp); !copied)
    return Error(copied.error().text + " " + std::string(path), copied.error().detail);
  const timespec times[2] = {{0, UTIME_OMIT},
                             {static_cast<time_t>(modified.seconds), static_cast<long>(modified.nanoseconds)}};
  if (::fchmod(tmp, saved.st_mode & 0777) != 0 || ::futimens(tmp, times) != 0 || ::fsync(tmp) != 0)
    return systemError("Cannot complete the file being put back at", path, errno);
  return {};
}

}  // namespace

Result<GameFolder> GameFolder::Open(const std::string& root) {
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Error("Cannot open the game folder " + root, std::strerror(errno));
  return GameFolder(fd);
}

GameFolder::GameFolder(GameFolder&& other) noexcept
    : fd_(other.fd_), lastFolder_(std::move(other.lastFolder_)), lastFolderFd_(other.lastFolderFd_) {
  other.fd_ = other.lastFolderFd_ = -1;
}

GameFolder::~GameFolder() {
  if (fd_ >= 0) ::close(fd_);
  if (lastFolderFd_ >= 0) ::close(lastFolderFd_);
}

struct stat GameFolder::Identity() const {
  struct stat info {};
  ::fstat(fd_, &info);
  return info;
}

int GameFolder::openParent(std::string_view path, std::string& leaf, bool& owned) const {
  owned = true;
  if (!IsSafeRecordPath(path)) {
    errno = EINVAL;
    return -1;
  }
  const std::size_t lastSlash = path.rfind('/');
  const std::string_view folder = path.substr(0, lastSlash == std::string_view::npos ? 0 : lastSlash);
  if (lastFolderFd_ >= 0 && folder == lastFolder_) {
    leaf = std::string(path.substr(folder.empty() ? 0 : lastSlash + 1));
    owned = false;
    return lastFolderFd_;
  }
  int fd = ::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  std::size_t start = 0;
  for (std::size_t slash = path.find('/'); fd >= 0 && slash != std::string_view::npos; slash = path.find('/', start)) {
    const std::string part(path.substr(start, slash - start));
    const int next = ::openat(fd, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    ::close(fd);
    errno = error;
    fd = next;
    start = slash + 1;
  }
  leaf = std::string(path.substr(start));
  if (fd >= 0) {
    if (lastFolderFd_ >= 0) ::close(lastFolderFd_);
    lastFolderFd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    lastFolder_ = std::string(folder);
  }
  return fd;
}

std::optional<struct stat> GameFolder::Lstat(std::string_view path) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  struct stat info {};
  if (parent.fd < 0 || ::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return info;
}

Presence GameFolder::Look(std::string_view path) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  struct stat info {};
  if (parent.fd < 0 || ::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
    return {errno == ENOENT ? Presence::Kind::Missing : Presence::Kind::Unreachable, {}};
  if (!S_ISREG(info.st_mode)) return {Presence::Kind::Other, {}};
  return {Presence::Kind::File, StampOf(info)};
}

Removal GameFolder::RemoveFileIfUnchanged(std::string_view path, const std::optional<FileStamp>& stamp) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  if (parent.fd < 0) return errno == EINVAL ? Removal::Refused : failureOf(errno);
  struct stat info {};
  if (::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return failureOf(errno);
  if (!S_ISREG(info.st_mode)) return Removal::Refused;
  if (stamp && StampOf(info) != *stamp) return Removal::Changed;
  return ::unlinkat(parent.fd, leaf.c_str(), 0) == 0 ? Removal::Removed : failureOf(errno);
}

Removal GameFolder::RemoveFolderIfEmpty(std::string_view path) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  if (parent.fd < 0) return errno == EINVAL ? Removal::Refused : failureOf(errno);
  struct stat info {};
  if (::fstatat(parent.fd, leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return failureOf(errno);
  if (!S_ISDIR(info.st_mode)) return Removal::Refused;
  if (::unlinkat(parent.fd, leaf.c_str(), AT_REMOVEDIR) == 0) {
    // The folder remembered may be this one or lie below it.
    if (lastFolderFd_ >= 0) ::close(lastFolderFd_);
    lastFolderFd_ = -1;
    return Removal::Removed;
  }
  return (errno == ENOTEMPTY || errno == EEXIST) ? Removal::NotEmpty : failureOf(errno);
}

Status GameFolder::PutBack(std::string_view path, int savedFd, const FileStamp& modified) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  if (Status place = placeForPutBack(parent.fd, leaf, path); !place) return place;
  const std::string tmpName = temporaryName(leaf);
  Fd tmp{::openat(parent.fd, tmpName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
  if (tmp.fd < 0) return systemError("Cannot make a file beside", path, errno);
  Status filled = fillTemporary(tmp.fd, savedFd, modified, path);
  if (filled && ::renameat(parent.fd, tmpName.c_str(), parent.fd, leaf.c_str()) != 0)
    filled = systemError("Cannot put back", path, errno);
  if (!filled) {
    ::unlinkat(parent.fd, tmpName.c_str(), 0);
  }
  return filled;
}

void GameFolder::RemoveTemporariesBeside(std::string_view path, std::string_view prefix,
                                         const std::function<bool(std::string_view name)>& isTemporary) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  if (parent.fd < 0) return;
  const int listed = ::openat(parent.fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
  if (dir == nullptr) {
    if (listed >= 0) ::close(listed);
    return;
  }
  struct stat info {};
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.starts_with(prefix) && isTemporary(name) &&
        ::fstatat(parent.fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
      ::unlinkat(parent.fd, entry->d_name, 0);
  }
  ::closedir(dir);
}

Status GameFolder::PutBackLink(std::string_view path, const std::string& target, const FileStamp& modified) const {
  std::string leaf;
  bool owned;
  Fd parent{openParent(path, leaf, owned), owned};
  if (Status place = placeForPutBack(parent.fd, leaf, path); !place) return place;
  const std::string tmpName = temporaryName(leaf);
  if (::symlinkat(target.c_str(), parent.fd, tmpName.c_str()) != 0)
    return systemError("Cannot make a link beside", path, errno);
  const timespec times[2] = {{0, UTIME_OMIT},
                             {static_cast<time_t>(modified.seconds), static_cast<long>(modified.nanoseconds)}};
  if (::utimensat(parent.fd, tmpName.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0 ||
      ::renameat(parent.fd, tmpName.c_str(), parent.fd, leaf.c_str()) != 0) {
    const int error = errno;
    ::unlinkat(parent.fd, tmpName.c_str(), 0);
    return systemError("Cannot put back the link", path, error);
  }
  return {};
}

}  // namespace fdk
