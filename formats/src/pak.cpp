#include "formats/pak.h"

#include <algorithm>
#include <array>

#include "base/pathsplit.h"
#include "formats/text.h"

namespace formats {

namespace {

// Entries read at once while walking a directory: 64 KiB.
constexpr uint64_t kEntriesPerRead = 1024;

PakDirectoryRange directoryInside(const PakHeader& header, uint64_t archiveSize) {
  PakDirectoryRange range;
  const uint64_t wanted = static_cast<uint64_t>(header.directoryLength) / kPakEntrySize * kPakEntrySize;
  range.start = static_cast<uint64_t>(header.directoryOffset);
  const uint64_t available = range.start <= archiveSize ? archiveSize - range.start : 0;
  range.length = std::min(wanted, available / kPakEntrySize * kPakEntrySize);
  range.truncated = range.length < wanted;
  return range;
}

}  // namespace

Result<PakHeader> readPakHeader(Bytes header, std::string_view fileName) {
  if (header.size() < kPakHeaderSize) {
    return readError(fileName, "a 12-byte archive header", std::to_string(header.size()) + " bytes");
  }
  PakHeader result{i32le(header, 4), i32le(header, 8)};
  if (result.directoryOffset < 0 || result.directoryLength < 0) {
    return readError(fileName, "a directory at a non-negative offset and length",
                     "offset " + std::to_string(result.directoryOffset) + ", length " +
                         std::to_string(result.directoryLength));
  }
  return result;
}

std::vector<PakEntry> parsePakEntries(Bytes directory) {
  std::vector<PakEntry> entries;
  entries.reserve(directory.size() / kPakEntrySize);
  for (size_t at = 0; at + kPakEntrySize <= directory.size(); at += kPakEntrySize) {
    PakEntry entry;
    entry.name = fixedName(reinterpret_cast<const char*>(directory.data() + at), kPakNameSize);
    entry.offset = i32le(directory, at + 56);
    entry.length = i32le(directory, at + 60);
    entries.push_back(std::move(entry));
  }
  return entries;
}

Result<PakDirectoryRange> locatePakDirectory(const ByteSource& archive, std::string_view fileName) {
  std::array<uint8_t, kPakHeaderSize> bytes{};
  if (!archive.read(0, bytes)) {
    return readError(fileName, "a 12-byte archive header", std::to_string(archive.size()) + " bytes");
  }
  auto header = readPakHeader(bytes, fileName);
  if (!header) return header.error();
  return directoryInside(header.value(), archive.size());
}

bool walkPakDirectory(const ByteSource& archive, const PakDirectoryRange& range, const PakVisitor& visit) {
  std::vector<uint8_t> block;
  for (uint64_t at = 0; at < range.length; at += block.size()) {
    block.resize(static_cast<size_t>(std::min(range.length - at, kEntriesPerRead * kPakEntrySize)));
    if (!archive.read(range.start + at, block)) return false;
    for (const PakEntry& entry : parsePakEntries(block)) {
      if (!visit(entry)) return true;
    }
  }
  return true;
}

Result<PakDirectory> readPakDirectory(const ByteSource& archive, std::string_view fileName) {
  auto range = locatePakDirectory(archive, fileName);
  if (!range) return range.error();
  PakDirectory directory;
  directory.truncated = range->truncated;
  const bool read = walkPakDirectory(archive, range.value(), [&](const PakEntry& entry) {
    directory.entries.push_back(entry);
    return true;
  });
  if (!read) return readError(fileName, "a readable directory", "a read error");
  return directory;
}

Result<PakDirectory> readPakDirectory(Bytes archive, std::string_view fileName) {
  return readPakDirectory(MemorySource(archive), fileName);
}

Result<PakDirectory> listPakFile(const std::string& path) {
  auto archive = InputFile::open(path);
  if (!archive) return archive.error();
  return readPakDirectory(archive.value(), path);
}

bool pakEntryFits(const PakEntry& entry, uint64_t archiveSize) {
  return entry.offset >= 0 && entry.length >= 0 &&
         rangeInside(archiveSize, static_cast<uint64_t>(entry.offset), static_cast<uint64_t>(entry.length));
}

const PakEntry* findPakEntry(const std::vector<PakEntry>& entries, std::string_view name) {
  for (const PakEntry& entry : entries) {
    if (equalsNoCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

// A directory that cannot be read to its end counts as holding no match
// past the point that could be read.
std::optional<PakEntry> findPakMember(const ByteSource& archive, std::string_view name) {
  auto range = locatePakDirectory(archive, "");
  if (!range) return std::nullopt;
  std::optional<PakEntry> found;
  walkPakDirectory(archive, range.value(), [&](const PakEntry& entry) {
    if (equalsNoCase(entry.name, name)) found = entry;
    return !found;
  });
  return found;
}

std::string_view pakMapName(const PakEntry& entry) { return tokenEndingWith(entry.name, ".bsp"); }

std::string pakMapList(const std::vector<PakEntry>& entries) {
  std::string text;
  for (const PakEntry& entry : entries) {
    const std::string_view map = pakMapName(entry);
    if (map.empty()) continue;
    text += map;
    text += '\n';
  }
  return text;
}

std::optional<LocatedFile> openPakMember(std::string& pakPath, std::string_view member) {
  if (auto archive = InputFile::open(pakPath)) {
    const std::optional<PakEntry> entry = findPakMember(archive.value(), member);
    // An entry whose data lies outside the archive cannot be read: it counts
    // as missing, and the folder is searched as for any other miss.
    if (entry && pakEntryFits(*entry, archive->size())) {
      return LocatedFile(std::move(archive.value()), pakPath, static_cast<uint64_t>(entry->offset),
                         static_cast<uint64_t>(entry->length));
    }
  }
  pakPath = fdk::folderPartAnySeparator(pakPath);
  // Names inside archives always use '/', which is also this platform's separator.
  auto loose = openLooseFile(pakPath + std::string(member));
  if (!loose) return std::nullopt;
  return std::move(loose.value());
}

Result<LocatedFile> openLooseFile(const std::string& path) {
  auto file = InputFile::open(path);
  if (!file) return file.error();
  const uint64_t size = file->size();
  return LocatedFile(std::move(file.value()), path, 0, size);
}

}  // namespace formats
