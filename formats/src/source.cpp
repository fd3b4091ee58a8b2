#include "formats/source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace formats {

namespace {

std::string kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "a special file";
}

}  // namespace

bool MemorySource::read(uint64_t offset, std::span<uint8_t> out) const {
  if (!rangeInside(bytes_.size(), offset, out.size())) return false;
  std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
  return true;
}

Result<InputFile> InputFile::open(const std::string& path) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer
  // before fstat could tell what it is. Regular files ignore the flag.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return readError(path, "a readable regular file", std::strerror(errno));
  struct stat info {};
  const bool statted = ::fstat(fd, &info) == 0;
  if (!statted || !S_ISREG(info.st_mode)) {
    const std::string found = statted ? kindOf(info.st_mode) : std::strerror(errno);
    ::close(fd);
    return readError(path, "a regular file", found);
  }
  return InputFile(fd, static_cast<uint64_t>(info.st_size));
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = std::exchange(other.size_, 0);
  }
  return *this;
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

// The size is the one fstat saw at open: a file that shrinks afterwards
// gives a short read, which fails here instead of leaving bytes unset.
bool InputFile::read(uint64_t offset, std::span<uint8_t> out) const {
  if (!rangeInside(size_, offset, out.size())) return false;
  size_t done = 0;
  while (done < out.size()) {
    const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool SourceSlice::read(uint64_t offset, std::span<uint8_t> out) const {
  return rangeInside(size_, offset, out.size()) && whole_.read(base_ + offset, out);
}

Result<std::vector<uint8_t>> readRange(const ByteSource& source, uint64_t offset, uint64_t length,
                                       std::string_view fileName) {
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  if (!source.read(offset, bytes)) {
    return readError(fileName, std::to_string(length) + " readable bytes at offset " + std::to_string(offset),
                     "a read error");
  }
  return bytes;
}

}  // namespace formats
