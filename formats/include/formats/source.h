// Where readers get their bytes: a file on disk, a window into one (an
// archive member) or a buffer already in memory, all read by range. A reader
// takes its header first and then only the ranges that header names, each
// checked against the size, so a huge or sparse file costs what its header
// promises and never its whole length.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/bytes.h"
#include "formats/result.h"

namespace formats {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Fills `out` with the bytes at [offset, offset + out.size()). False when
  // that range is not all inside the source or reading it fails.
  virtual bool read(uint64_t offset, std::span<uint8_t> out) const = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(Bytes bytes) : bytes_(bytes) {}
  uint64_t size() const override { return bytes_.size(); }
  bool read(uint64_t offset, std::span<uint8_t> out) const override;

 private:
  Bytes bytes_;
};

// A regular file open for reading. Anything else behind the name - a FIFO,
// a device such as /dev/zero, a directory, or a link to one of them - is
// refused before a byte is read, and opening never waits for a writer.
class InputFile final : public ByteSource {
 public:
  static Result<InputFile> open(const std::string& path);
  InputFile(InputFile&& other) noexcept;
  InputFile& operator=(InputFile&& other) noexcept;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override;

  uint64_t size() const override { return size_; }
  bool read(uint64_t offset, std::span<uint8_t> out) const override;

 private:
  InputFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  int fd_ = -1;
  uint64_t size_ = 0;
};

// `size` bytes of `whole` from `base` on, addressed from 0. The caller keeps
// `whole` alive; `base + size` must lie inside it (see `rangeInside`).
class SourceSlice final : public ByteSource {
 public:
  SourceSlice(const ByteSource& whole, uint64_t base, uint64_t size) : whole_(whole), base_(base), size_(size) {}
  uint64_t size() const override { return size_; }
  bool read(uint64_t offset, std::span<uint8_t> out) const override;

 private:
  const ByteSource& whole_;
  uint64_t base_, size_;
};

// True when [offset, offset + length) lies inside `size` bytes, without
// overflowing on values straight from a file.
inline bool rangeInside(uint64_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

// `length` bytes at `offset` as a buffer of their own; the range must have
// been checked against the source's size.
Result<std::vector<uint8_t>> readRange(const ByteSource& source, uint64_t offset, uint64_t length,
                                       std::string_view fileName);

}  // namespace formats
