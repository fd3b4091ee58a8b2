#include "formats/pak.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "formats/text.h"

namespace formats {

namespace {

struct OpenArchive {
  std::ifstream in;
  uint64_t size = 0;
};

std::optional<OpenArchive> openArchive(const std::string& path) {
  // Directories open as streams on this platform but have no bytes to read.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  OpenArchive archive;
  archive.in.open(path, std::ios::binary);
  if (!archive.in) return std::nullopt;
  archive.in.seekg(0, std::ios::end);
  const auto end = archive.in.tellg();
  if (end < 0) return std::nullopt;
  archive.size = static_cast<uint64_t>(end);
  return archive;
}

bool readAt(std::ifstream& in, uint64_t offset, std::vector<uint8_t>& out) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<size_t>(in.gcount()) == out.size();
}

// Clamps the directory to the archive: only whole entries inside it count.
PakDirectory directoryInside(const PakHeader& header, uint64_t archiveSize, uint64_t& readLength) {
  PakDirectory result;
  const uint64_t wanted = static_cast<uint64_t>(header.directoryLength) / kPakEntrySize * kPakEntrySize;
  const uint64_t start = static_cast<uint64_t>(header.directoryOffset);
  const uint64_t available = start <= archiveSize ? archiveSize - start : 0;
  readLength = std::min(wanted, available / kPakEntrySize * kPakEntrySize);
  result.truncated = readLength < wanted;
  return result;
}

Result<PakDirectory> listOpenArchive(OpenArchive& archive, std::string_view fileName) {
  std::vector<uint8_t> headerBytes(kPakHeaderSize);
  if (archive.size < kPakHeaderSize || !readAt(archive.in, 0, headerBytes)) {
    return readError(fileName, "a 12-byte archive header",
                     std::to_string(archive.size) + " bytes");
  }
  auto header = readPakHeader(headerBytes, fileName);
  if (!header) return header.error();
  uint64_t length = 0;
  PakDirectory directory = directoryInside(header.value(), archive.size, length);
  std::vector<uint8_t> block(length);
  if (!readAt(archive.in, static_cast<uint64_t>(header->directoryOffset), block)) {
    return readError(fileName, "a readable directory", "a read error");
  }
  directory.entries = parsePakEntries(block);
  return directory;
}

std::string folderOf(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::optional<LocatedFile> openLoose(const std::string& path) {
  auto bytes = readWholeFile(path);
  if (!bytes) return std::nullopt;
  return LocatedFile{std::move(*bytes), path, 0};
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

Result<PakDirectory> readPakDirectory(Bytes archive, std::string_view fileName) {
  auto header = readPakHeader(archive, fileName);
  if (!header) return header.error();
  uint64_t length = 0;
  PakDirectory directory = directoryInside(header.value(), archive.size(), length);
  directory.entries = parsePakEntries(archive.subspan(static_cast<size_t>(header->directoryOffset),
                                                      static_cast<size_t>(length)));
  return directory;
}

Result<PakDirectory> listPakFile(const std::string& path) {
  auto archive = openArchive(path);
  if (!archive) return readError(path, "a readable archive", "a file that cannot be opened");
  return listOpenArchive(*archive, path);
}

bool pakEntryFits(const PakEntry& entry, uint64_t archiveSize) {
  return entry.offset >= 0 && entry.length >= 0 &&
         static_cast<uint64_t>(entry.offset) + static_cast<uint64_t>(entry.length) <= archiveSize;
}

const PakEntry* findPakEntry(const std::vector<PakEntry>& entries, std::string_view name) {
  for (const PakEntry& entry : entries) {
    if (equalsNoCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

std::string pakMapList(const std::vector<PakEntry>& entries) {
  std::string text;
  for (const PakEntry& entry : entries) {
    const std::string_view map = tokenEndingWith(entry.name, ".bsp");
    if (map.empty()) continue;
    text += map;
    text += '\n';
  }
  return text;
}

std::optional<LocatedFile> openPakMember(std::string& pakPath, std::string_view member) {
  if (auto archive = openArchive(pakPath)) {
    auto directory = listOpenArchive(*archive, pakPath);
    const PakEntry* entry = directory ? findPakEntry(directory->entries, member) : nullptr;
    // An entry whose data lies outside the archive cannot be read: it counts
    // as missing, and the folder is searched as for any other miss.
    if (entry && pakEntryFits(*entry, archive->size)) {
      std::vector<uint8_t> bytes(static_cast<size_t>(entry->length));
      if (readAt(archive->in, static_cast<uint64_t>(entry->offset), bytes)) {
        return LocatedFile{std::move(bytes), pakPath, static_cast<uint64_t>(entry->offset)};
      }
    }
  }
  pakPath = folderOf(pakPath);
  // Names inside archives always use '/', which is also this platform's separator.
  return openLoose(pakPath + std::string(member));
}

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& path) {
  auto file = openArchive(path);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(file->size));
  if (!readAt(file->in, 0, bytes)) return std::nullopt;
  return bytes;
}

}  // namespace formats
