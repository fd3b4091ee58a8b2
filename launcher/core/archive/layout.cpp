#include "core/archive/layout.h"

#include <algorithm>
#include <optional>

namespace fdk {

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::size_t kLocalBytes = 30;
constexpr std::size_t kCentralBytes = 46;
constexpr std::size_t kEndBytes = 22;
constexpr std::size_t kZip64LocatorBytes = 20;
constexpr std::size_t kZip64EndBytes = 56;
constexpr std::size_t kMaxCommentBytes = 0xFFFF;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint32_t kInZip64 = 0xFFFFFFFF;  // a 32-bit field whose value is in the ZIP64 extra field
// The directory is read whole; one this large would list millions of entries.
constexpr std::uint64_t kMaxDirectoryBytes = 256u << 20;

std::uint16_t le16(const char* p) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
}
std::uint32_t le32(const char* p) { return le16(p) | static_cast<std::uint32_t>(le16(p + 2)) << 16; }
std::uint64_t le64(const char* p) { return le32(p) | static_cast<std::uint64_t>(le32(p + 4)) << 32; }

std::string quoted(const std::string& name) { return "\"" + name + "\""; }

struct Directory {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint64_t count = 0;
};

// The directory an end record at `endAt` names, from the ZIP64 end record
// when a locator sits right before it.
std::optional<Directory> directoryAt(const ReadArchiveBytes& read, std::uint64_t fileSize, const char* end,
                                     std::uint64_t endAt) {
  Directory dir{le32(end + 16), le32(end + 12), le16(end + 10)};
  char locator[kZip64LocatorBytes];
  if (endAt >= kZip64LocatorBytes && read(endAt - kZip64LocatorBytes, sizeof locator, locator) &&
      le32(locator) == kZip64LocatorSignature) {
    char end64[kZip64EndBytes];
    if (!read(le64(locator + 8), sizeof end64, end64) || le32(end64) != kZip64EndSignature) return std::nullopt;
    dir = Directory{le64(end64 + 48), le64(end64 + 40), le64(end64 + 32)};
  }
  if (dir.offset > fileSize || dir.size > fileSize - dir.offset || dir.size > kMaxDirectoryBytes) return std::nullopt;
  return dir;
}

// Every directory an end record in the file's last bytes names, the one
// nearest the end first.
std::vector<Directory> directoryCandidates(const ReadArchiveBytes& read, std::uint64_t fileSize) {
  std::vector<Directory> found;
  const std::size_t tailBytes = static_cast<std::size_t>(
      std::min<std::uint64_t>(fileSize, kEndBytes + kMaxCommentBytes));
  std::string tail(tailBytes, '\0');
  const std::uint64_t tailAt = fileSize - tailBytes;
  if (tailBytes < kEndBytes || !read(tailAt, tailBytes, tail.data())) return found;
  for (std::size_t p = tailBytes - kEndBytes + 1; p-- > 0;) {
    if (le32(&tail[p]) != kEndSignature || p + kEndBytes + le16(&tail[p + 20]) > tailBytes) continue;
    if (std::optional<Directory> dir = directoryAt(read, fileSize, &tail[p], tailAt + p)) found.push_back(*dir);
  }
  return found;
}

// The 64-bit values of a central entry whose 32-bit fields say they are in
// the ZIP64 extra field, which holds them in a fixed order: size, compressed
// size, local header offset, each only when its 32-bit field says so.
bool readZip64(const char* extra, std::size_t extraBytes, std::uint32_t size, std::uint64_t& compressed,
               std::uint64_t& offset) {
  const bool inField[3] = {size == kInZip64, compressed == kInZip64, offset == kInZip64};
  std::uint64_t* const values[3] = {nullptr, &compressed, &offset};
  if (!inField[0] && !inField[1] && !inField[2]) return true;
  for (std::size_t at = 0; at + 4 <= extraBytes;) {
    const std::size_t length = le16(extra + at + 2);
    if (at + 4 + length > extraBytes) return false;
    if (le16(extra + at) != kZip64ExtraId) {
      at += 4 + length;
      continue;
    }
    std::size_t next = at + 4;
    for (int i = 0; i < 3; ++i) {
      if (!inField[i]) continue;
      if (next + 8 > at + 4 + length) return false;
      if (values[i] != nullptr) *values[i] = le64(extra + next);
      next += 8;
    }
    return true;
  }
  return false;
}

// The local header offset of every entry of the directory, when the directory
// lists exactly what the ZIP library listed.
std::optional<std::vector<std::uint64_t>> headerOffsets(const ReadArchiveBytes& read, const Directory& dir,
                                                        const std::vector<ListedEntry>& listed) {
  if (dir.count != listed.size()) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(dir.size), '\0');
  if (!read(dir.offset, bytes.size(), bytes.data())) return std::nullopt;
  std::vector<std::uint64_t> offsets;
  offsets.reserve(listed.size());
  std::size_t at = 0;
  for (const ListedEntry& entry : listed) {
    if (bytes.size() - at < kCentralBytes || le32(&bytes[at]) != kCentralSignature) return std::nullopt;
    const char* header = &bytes[at];
    const std::size_t nameBytes = le16(header + 28);
    const std::size_t extraBytes = le16(header + 30);
    const std::size_t total = kCentralBytes + nameBytes + extraBytes + le16(header + 32);
    if (bytes.size() - at < total || bytes.compare(at + kCentralBytes, nameBytes, entry.rawName) != 0 ||
        nameBytes != entry.rawName.size())
      return std::nullopt;
    std::uint64_t compressed = le32(header + 20);
    std::uint64_t offset = le32(header + 42);
    if (!readZip64(header + kCentralBytes + nameBytes, extraBytes, le32(header + 24), compressed, offset) ||
        compressed != entry.compressedSize)
      return std::nullopt;
    offsets.push_back(offset);
    at += total;
  }
  return offsets;
}

// The bytes one entry takes: its local header, then its data.
struct Extent {
  std::uint64_t header = 0;
  std::uint64_t end = 0;
  std::size_t index = 0;
};

Result<Extent> extentOf(const ReadArchiveBytes& read, std::uint64_t fileSize, std::uint64_t header,
                        const ListedEntry& entry, std::size_t index) {
  char local[kLocalBytes];
  if (header > fileSize || fileSize - header < kLocalBytes || !read(header, sizeof local, local) ||
      le32(local) != kLocalSignature)
    return Error{ErrorKind::Damaged, "the entry " + quoted(entry.name) + " has no local header where the directory points"};
  const std::uint64_t data = header + kLocalBytes + le16(local + 26) + le16(local + 28);
  if (data > fileSize || entry.compressedSize > fileSize - data)
    return Error{ErrorKind::Damaged, "the data of the entry " + quoted(entry.name) + " runs past the end of the archive"};
  return Extent{header, data + entry.compressedSize, index};
}

Status extentsApart(const ReadArchiveBytes& read, std::uint64_t fileSize, const std::vector<std::uint64_t>& offsets,
                    const std::vector<ListedEntry>& listed) {
  std::vector<Extent> extents;
  extents.reserve(offsets.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    Result<Extent> extent = extentOf(read, fileSize, offsets[i], listed[i], i);
    if (!extent) return extent.error();
    extents.push_back(*extent);
  }
  // In header order, each entry must end before the next one's header starts.
  std::sort(extents.begin(), extents.end(), [](const Extent& a, const Extent& b) { return a.header < b.header; });
  for (std::size_t i = 1; i < extents.size(); ++i) {
    if (extents[i - 1].end <= extents[i].header) continue;
    return Error{ErrorKind::Damaged, "the entries " + quoted(listed[extents[i - 1].index].name) + " and " +
                 quoted(listed[extents[i].index].name) +
                 " overlap: they share bytes of the archive, the way a ZIP bomb is made"};
  }
  return {};
}

}  // namespace

Status CheckEntriesApart(const ReadArchiveBytes& read, std::uint64_t fileSize, const std::vector<ListedEntry>& listed) {
  // An end record may also turn up inside a comment or a stored archive;
  // every directory that lists what the ZIP library listed must agree.
  std::optional<std::vector<std::uint64_t>> offsets;
  for (const Directory& dir : directoryCandidates(read, fileSize)) {
    std::optional<std::vector<std::uint64_t>> these = headerOffsets(read, dir, listed);
    if (!these) continue;
    if (offsets && *offsets != *these) return Error{ErrorKind::Damaged, "it holds two central directories that disagree"};
    offsets = std::move(these);
  }
  if (!offsets) return Error{ErrorKind::Damaged, "its central directory cannot be read the way the ZIP library read it"};
  return extentsApart(read, fileSize, *offsets, listed);
}

}  // namespace fdk
