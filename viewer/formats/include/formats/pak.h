// PAK archives: a 12-byte header pointing at a directory of 64-byte entries
// (56-byte name, position, length; 32-bit little-endian integers).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/bytes.h"
#include "formats/result.h"

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

// Directory of an archive held whole in memory.
Result<PakDirectory> readPakDirectory(Bytes archive, std::string_view fileName);

// Directory of an archive on disk; reads only the header and the directory.
Result<PakDirectory> listPakFile(const std::string& path);

// True when the entry's data lies inside an archive of `archiveSize` bytes.
bool pakEntryFits(const PakEntry& entry, uint64_t archiveSize);

// First entry whose whole name equals `name` without regard to ASCII case.
const PakEntry* findPakEntry(const std::vector<PakEntry>& entries, std::string_view name);

// "md2names.txt" contents: for every entry naming a ".bsp", the word ending
// in ".bsp" followed by a line feed.
std::string pakMapList(const std::vector<PakEntry>& entries);

// A member's bytes, read whole from an archive or from a loose file.
struct LocatedFile {
  std::vector<uint8_t> bytes;
  std::string path;         // the file the bytes came from
  uint64_t baseOffset = 0;  // position of the first byte in that file
};

// Opens `member` inside the archive at `pakPath`. When the archive cannot be
// read or holds no such member, `pakPath` is cut back to its folder (so every
// later lookup goes straight to the folder) and folder + member is read
// instead. Nothing when neither exists.
std::optional<LocatedFile> openPakMember(std::string& pakPath, std::string_view member);

// Reads a whole loose file; nothing when it cannot be opened.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path);

}  // namespace formats
