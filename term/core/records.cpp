#include "term/core/records.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"

namespace fdk {

namespace {

constexpr std::string_view kRecordSuffix = ".record";
// A record of a launch that placed every file of a large game folder is a
// few MiB; far more is not a record.
constexpr std::uint64_t kRecordLimit = 1ull << 30;
// A header is four lines, one of them a folder name of up to 4,096 bytes,
// each byte written as up to three.
constexpr std::size_t kHeaderLimit = 16 * 1024;

bool digits(std::string_view text, std::size_t count) {
  return text.size() == count && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int closeKeepingErrno(int fd) {
  const int error = errno;
  ::close(fd);
  errno = error;
  return -1;
}

Result<std::string> readHead(const std::string& path, std::size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Error("Cannot read the launch record " + path, std::strerror(errno));
  std::string text(limit, '\0');
  std::size_t got = 0;
  while (got < limit) {
    const ssize_t n = ::read(fd, text.data() + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      closeKeepingErrno(fd);
      return Error("Cannot read the launch record " + path, std::strerror(errno));
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  text.resize(got);
  return text;
}

Result<LaunchRecord> parseNamed(const std::string& path, Result<std::string> text) {
  if (!text) return text.error();
  Result<LaunchRecord> record = ParseRecord(*text);
  if (!record) return Error(record.error().text + " (" + path + ")", record.error().detail);
  return record;
}

// Removes the plain files of a saved folder, then the folder.
Status removeSavedFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    if (errno == ENOENT) return {};
    return Error("Cannot open the saved copies " + folder, std::strerror(errno));
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
  if (::rmdir(folder.c_str()) != 0 && errno != ENOENT)
    return Error("Cannot remove the saved copies " + folder, std::strerror(errno));
  return {};
}

}  // namespace

bool IsRecordId(std::string_view id) {
  // <game>-<20 digits>.<9 digits>-<pid>
  if (id.size() < 34 || (id[0] != '1' && id[0] != '2') || id[1] != '-' || id[22] != '.' || id[32] != '-') return false;
  const std::string_view pid = id.substr(33);
  return digits(id.substr(2, 20), 20) && digits(id.substr(23, 9), 9) && !pid.empty() && pid.size() <= 10 &&
         digits(pid, pid.size());
}

std::string FolderKeyOf(const LaunchRecord& record) {
  return record.root + '\0' + std::to_string(record.rootDevice) + ':' + std::to_string(record.rootInode);
}

Result<RecordLock> RecordLock::Take(const std::string& recordPath, bool wait) {
  const int fd = ::open(recordPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return RecordLock(State::Gone, -1);
  if (fd < 0) return Error("Cannot open the launch record " + recordPath, std::strerror(errno));
  int locked;
  while ((locked = ::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (locked != 0 && errno == EWOULDBLOCK) return RecordLock(State::Busy, closeKeepingErrno(fd));
  if (locked != 0) {
    closeKeepingErrno(fd);
    return Error("Cannot lock the launch record " + recordPath, std::strerror(errno));
  }
  // Its holder may have finished and removed it (or set it aside) before
  // letting go: then what is locked is a name no longer there.
  struct stat held {
  }, named{};
  if (::fstat(fd, &held) != 0 || ::stat(recordPath.c_str(), &named) != 0 || held.st_ino != named.st_ino ||
      held.st_dev != named.st_dev)
    return RecordLock(State::Gone, closeKeepingErrno(fd));
  return RecordLock(State::Taken, fd);
}

RecordLock::RecordLock(RecordLock&& other) noexcept : state_(other.state_), fd_(other.fd_) { other.fd_ = -1; }

RecordLock::~RecordLock() {
  if (fd_ >= 0) ::close(fd_);
}

RecordFolder::RecordFolder(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty() || folder_.back() != '/') folder_ += '/';
}

std::vector<std::string> RecordFolder::List() const {
  std::vector<std::string> ids;
  DIR* dir = ::opendir(folder_.c_str());
  if (dir == nullptr) return ids;
  while (const dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() <= kRecordSuffix.size() || !name.ends_with(kRecordSuffix)) continue;
    name.remove_suffix(kRecordSuffix.size());
    if (IsRecordId(name)) ids.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(ids.begin(), ids.end());
  return ids;
}

Result<LaunchRecord> RecordFolder::Read(std::string_view id) const {
  const std::string path = recordPath(id);
  return parseNamed(path, readWholeFile(path, kRecordLimit));
}

Result<LaunchRecord> RecordFolder::ReadHeader(std::string_view id) const {
  const std::string path = recordPath(id);
  Result<std::string> head = readHead(path, kHeaderLimit);
  if (!head) return head.error();
  // Only the header lines: the rest may still be being written.
  std::size_t end = 0;
  for (int line = 0; line < 4 && end != std::string::npos; ++line) {
    end = head->find('\n', end);
    if (end != std::string::npos) ++end;
  }
  if (end != std::string::npos) head->resize(end);
  return parseNamed(path, std::move(*head));
}

Status RecordFolder::SetAside(std::string_view id) const {
  const std::string path = recordPath(id);
  if (std::rename(path.c_str(), (path + ".bad").c_str()) != 0)
    return Error("Cannot set aside the launch record " + path, std::strerror(errno));
  return {};
}

Status RecordFolder::Discard(std::string_view id) const {
  Status saved = removeSavedFolder(savedFolder(id));
  const std::string path = recordPath(id);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    return Error("Cannot remove the finished launch record " + path, std::strerror(errno));
  return saved;
}

}  // namespace fdk
