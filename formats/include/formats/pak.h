// PAK archives: a 12-byte header pointing at a directory of 64-byte entries
// (56-byte name, position, length; 32-bit little-endian integers).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/bytes.h"
#include "formats/result.h"
#include "formats/source.h"

namespace formats {

inline constexpr size_t kPakHeaderSize = 12;
inline constexpr size_t kPakEntrySize = 64;
inline constexpr size_t kPakNameSize = 56;

struct PakEntry {
  std::string name;  // as stored, cut at its NUL or at 56 bytes
  int32_t offset = 0;
  int32_t length = 0;
};

struct PakHeader {
  int32_t directoryOffset = 0;
  int32_t directoryLength = 0;
};

struct PakDirectory {
  std::vector<PakEntry> entries;
  // The directory reached past the end of the archive; `entries` holds the
  // whole entries that lie inside it.
  bool truncated = false;
};

Result<PakHeader> readPakHeader(Bytes header, std::string_view fileName);

// Entries of a directory block: size / 64 of them, a remainder is ignored.
std::vector<PakEntry> parsePakEntries(Bytes directory);

// Where the directory's whole entries lie: cut to the archive, so that only
// whole entries inside it count.
struct PakDirectoryRange {
  uint64_t start = 0;
  uint64_t length = 0;     // a multiple of 64
  bool truncated = false;  // the header named more than the archive holds
};

Result<PakDirectoryRange> locatePakDirectory(const ByteSource& archive, std::string_view fileName);

// Hands each entry of `range` to `visit` in directory order until it returns
// false. The directory is read a block at a time, so a huge one costs no more
// memory than a small one. False when a read fails.
using PakVisitor = std::function<bool(const PakEntry&)>;
bool walkPakDirectory(const ByteSource& archive, const PakDirectoryRange& range, const PakVisitor& visit);

// The whole directory of an archive, in memory or on disk.
Result<PakDirectory> readPakDirectory(const ByteSource& archive, std::string_view fileName);
Result<PakDirectory> readPakDirectory(Bytes archive, std::string_view fileName);
Result<PakDirectory> listPakFile(const std::string& path);

// True when the entry's data lies inside an archive of `archiveSize` bytes.
bool pakEntryFits(const PakEntry& entry, uint64_t archiveSize);

// First entry whose whole name equals `name` without regard to ASCII case.
const PakEntry* findPakEntry(const std::vector<PakEntry>& entries, std::string_view name);

// The same lookup straight from an archive, stopping at the first match.
// Nothing when the archive has no readable header or no such entry.
std::optional<PakEntry> findPakMember(const ByteSource& archive, std::string_view name);

// The map an entry names: its word ending in ".bsp", or nothing.
std::string_view pakMapName(const PakEntry& entry);

// "md2names.txt" contents: for every entry naming a ".bsp", the word ending
// in ".bsp" followed by a line feed.
std::string pakMapList(const std::vector<PakEntry>& entries);

// A member found by a lookup, or a loose file: the open file, where the
// member starts in it and how long it is. Reads address the member from its
// first byte and stay inside it.
class LocatedFile final : public ByteSource {
 public:
  LocatedFile(InputFile file, std::string path, uint64_t baseOffset, uint64_t size)
      : file_(std::move(file)), path_(std::move(path)), base_(baseOffset), size_(size) {}
  const std::string& path() const { return path_; }
  uint64_t baseOffset() const { return base_; }
  uint64_t size() const override { return size_; }
  bool read(uint64_t offset, std::span<uint8_t> out) const override {
    return SourceSlice(file_, base_, size_).read(offset, out);
  }

 private:
  InputFile file_;
  std::string path_;  // the file the member lies in
  uint64_t base_, size_;
};

// Opens `member` inside the archive at `pakPath`. When the archive cannot be
// read or holds no such member, `pakPath` is cut back to its folder (so every
// later lookup goes straight to the folder) and folder + member is opened
// instead. Nothing when neither exists.
std::optional<LocatedFile> openPakMember(std::string& pakPath, std::string_view member);

// A loose regular file, whole.
Result<LocatedFile> openLooseFile(const std::string& path);

}  // namespace formats
