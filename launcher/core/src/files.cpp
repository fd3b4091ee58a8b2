#include "core/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/listing.h"
#include "core/paths.h"

namespace fdk {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kNewFileMode = 0644;
constexpr const char* kTempSuffix = ".tmp";

std::string errorText() { return std::strerror(errno); }

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

// Reads what is left of fd in chunks and hands each to sink; false on a read error.
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

// Makes the temporary file beside target, lets fill write it, and renames it into place.
std::string replaceThroughTemp(const std::string& target, const std::function<std::string(int)>& fill) {
  std::string temp = folderPart(target) + "." + fileNamePart(target) + kTempSuffix + "XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return "cannot create a temporary file beside " + target + ": " + errorText();
  std::string error = fill(fd);
  if (error.empty() && ::fchmod(fd, modeFor(target)) != 0) error = "cannot set the permissions of " + target;
  if (error.empty() && ::fsync(fd) != 0) error = "cannot write " + target + ": " + errorText();
  if (::close(fd) != 0 && error.empty()) error = "cannot write " + target + ": " + errorText();
  if (error.empty() && std::rename(temp.c_str(), target.c_str()) != 0)
    error = "cannot replace " + target + ": " + errorText();
  if (!error.empty()) ::unlink(temp.c_str());
  return error;
}

}  // namespace

bool readWholeFile(const std::string& path, std::string& out, std::uint64_t maxBytes) {
  Fd file(openForReading(path, true));
  if (file.fd < 0) return false;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) return false;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  bool ok = readChunks(file.fd, [&](const char* p, std::size_t n) {
    if (bytes.size() + n > maxBytes) return false;  // the file grew while we read it
    bytes.append(p, n);
    return true;
  });
  if (!ok) return false;
  out = std::move(bytes);
  return true;
}

std::string writeFileAtomically(const std::string& path, std::string_view bytes, AtTargetLink link) {
  const std::string target = resolveTarget(path, link);
  return replaceThroughTemp(target, [&](int fd) -> std::string {
    if (!writeAll(fd, bytes.data(), bytes.size())) return "cannot write " + target + ": " + errorText();
    return {};
  });
}

std::string copyFileReplacing(const std::string& source, const std::string& target) {
  Fd in(openForReading(source, false));
  if (in.fd < 0) {
    if (errno == ELOOP) return source + " is a symbolic link; only plain files are copied";
    return "cannot read " + source + ": " + errorText();
  }
  struct stat st {};
  if (::fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) return source + " is not a plain file; it was not copied";
  return replaceThroughTemp(target, [&](int out) -> std::string {
    bool wrote = true;
    bool read = readChunks(in.fd, [&](const char* p, std::size_t n) { return wrote = writeAll(out, p, n); });
    if (!wrote) return "cannot write " + target + ": " + errorText();
    if (!read) return "cannot read " + source + ": " + errorText();
    return {};
  });
}

void removeStaleTemporaries(const std::string& path, AtTargetLink link) {
  const std::string target = resolveTarget(path, link);
  const std::string folder = folderPart(target);
  const std::string pattern = "." + fileNamePart(target) + kTempSuffix + "??????";
  for (const std::string& name : ListFolder(folder.empty() ? "." : folder, pattern, {EntryKind::Any, false})) {
    struct stat st {};
    if (::lstat((folder + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink((folder + name).c_str());
  }
}

}  // namespace fdk
