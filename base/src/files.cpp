#include "base/files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/pathsplit.h"

namespace fdk {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr std::string_view kTempSuffix = ".tmp";
constexpr std::size_t kTempRandomChars = 6;  // what mkstemp puts in place of "XXXXXX"

// The kind follows what the system said, so that callers can tell a missing
// file or a full disk from other failures.
Error systemError(const std::string& what) {
  const int code = errno;
  ErrorKind kind = ErrorKind::Failed;
  if (code == ENOENT || code == ENOTDIR) kind = ErrorKind::Missing;
  if (code == ENOSPC || code == EDQUOT) kind = ErrorKind::NoRoom;
  return Error{kind, what + ": " + std::strerror(code)};
}

// Closes a descriptor when the scope ends.
struct Fd {
  int fd;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

// O_NONBLOCK keeps open() from waiting for a writer when the path is a FIFO;
// the caller checks the kind of file before reading anything.
int openForReading(const std::string& path, bool followLink) {
  int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW);
  return ::open(path.c_str(), flags);
}

bool writeAll(int fd, const char* p, std::size_t left) {
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Reads what is left of fd in chunks and hands each to sink; false on a read
// error or when the sink refuses a chunk.
bool readChunks(int fd, const std::function<bool(const char*, std::size_t)>& sink) {
  char chunk[65536];
  for (;;) {
    ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!sink(chunk, static_cast<std::size_t>(n))) return false;
  }
}

// The permissions a replacement takes over: those of the regular file it replaces.
mode_t modeFor(const std::string& target) {
  struct stat st {};
  if (::lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  return kNewFileMode;
}

// Where a write to path really goes: the file a symbolic link names, when asked to follow.
std::string resolveTarget(const std::string& path, AtTargetLink link) {
  std::error_code ec;
  if (link == AtTargetLink::Replace || !fs::is_symlink(fs::symlink_status(path, ec))) return path;
  fs::path resolved = fs::weakly_canonical(path, ec);
  return ec ? path : resolved.string();
}

std::string tempPrefix(const std::string& target) {
  return folderPart(target) + "." + fileNamePart(target) + std::string(kTempSuffix);
}

// Makes the temporary file beside target, lets fill write it, and renames it into place.
Status replaceThroughTemp(const std::string& target, const std::function<Status(int)>& fill) {
  std::string temp = tempPrefix(target) + "XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return systemError("cannot create a temporary file beside " + target);
  Status status = fill(fd);
  if (status.ok() && ::fchmod(fd, modeFor(target)) != 0) status = systemError("cannot set the permissions of " + target);
  if (status.ok() && ::fsync(fd) != 0) status = systemError("cannot write " + target);
  if (::close(fd) != 0 && status.ok()) status = systemError("cannot write " + target);
  if (status.ok() && std::rename(temp.c_str(), target.c_str()) != 0) status = systemError("cannot replace " + target);
  if (!status.ok()) ::unlink(temp.c_str());
  return status;
}

}  // namespace

Result<std::string> readWholeFile(const std::string& path, std::uint64_t maxBytes) {
  Fd file(openForReading(path, true));
  if (file.fd < 0) return systemError("cannot read " + path);
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return Error{"cannot read " + path + ": not a plain file"};
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size > maxBytes)
    return Error{ErrorKind::TooLarge, "cannot read " + path + ": " + std::to_string(size) + " bytes, more than the " +
                 std::to_string(maxBytes) + " such a file may have"};
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size));
  bool grew = false;
  bool ok = readChunks(file.fd, [&](const char* p, std::size_t n) {
    grew = bytes.size() + n > maxBytes;  // the file grew while we read it
    if (!grew) bytes.append(p, n);
    return !grew;
  });
  if (grew) return Error{ErrorKind::TooLarge, "cannot read " + path + ": it grew past its limit while being read"};
  if (!ok) return systemError("cannot read " + path);
  return bytes;
}

Status writeFileAtomically(const std::string& path, std::string_view bytes, AtTargetLink link) {
  const std::string target = resolveTarget(path, link);
  return replaceThroughTemp(target, [&](int fd) -> Status {
    if (!writeAll(fd, bytes.data(), bytes.size())) return systemError("cannot write " + target);
    return {};
  });
}

Status copyFileReplacing(const std::string& source, const std::string& target) {
  Fd in(openForReading(source, false));
  if (in.fd < 0) {
    if (errno == ELOOP) return Error{ErrorKind::Unsafe, source + " is a symbolic link; only plain files are copied"};
    return systemError("cannot read " + source);
  }
  struct stat st {};
  if (::fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) return Error{source + " is not a plain file; it was not copied"};
  return replaceThroughTemp(target, [&](int out) -> Status {
    bool wrote = true;
    bool read = readChunks(in.fd, [&](const char* p, std::size_t n) { return wrote = writeAll(out, p, n); });
    if (!wrote) return systemError("cannot write " + target);
    if (!read) return systemError("cannot read " + source);
    return {};
  });
}

bool isTemporaryOf(std::string_view name, std::string_view fileName) {
  const std::string prefix = "." + std::string(fileName) + std::string(kTempSuffix);
  if (name.size() != prefix.size() + kTempRandomChars || !name.starts_with(prefix)) return false;
  // What mkstemp puts in place of "XXXXXX".
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

void removeStaleTemporaries(const std::string& path, AtTargetLink link) {
  const std::string target = resolveTarget(path, link);
  const std::string fileName = fileNamePart(target);
  const std::string folder = folderPart(target);
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec)) {
    const bool ours = isTemporaryOf(it->path().filename().string(), fileName);
    if (ours && it->is_regular_file(ec) && !it->is_symlink(ec)) ::unlink(it->path().c_str());
  }
}

}  // namespace fdk
