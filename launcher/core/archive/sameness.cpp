#include "core/archive/sameness.h"

#include <vector>

#include <zlib.h>

namespace fdk {

namespace {

// A MOD's PAK may run to hundreds of megabytes: read it in pieces this large.
constexpr std::size_t kChunkBytes = 256u << 10;

// The CRC-32 of the file's bytes, or nothing when it cannot be read whole or
// holds more bytes than it had when it was opened.
std::optional<std::uint32_t> crcOf(ExistingFile& file) {
  std::vector<char> buffer(kChunkBytes);
  uLong crc = ::crc32_z(0, nullptr, 0);
  std::uint64_t done = 0;
  for (;;) {
    Result<std::size_t> n = file.Read(buffer.data(), buffer.size());
    if (!n) return std::nullopt;
    if (*n == 0) break;
    done += *n;
    if (done > file.size()) return std::nullopt;
    crc = ::crc32_z(crc, reinterpret_cast<const Bytef*>(buffer.data()), *n);
  }
  if (done != file.size()) return std::nullopt;
  return static_cast<std::uint32_t>(crc);
}

}  // namespace

bool SameAsEntry(Placement& into, const EntryPath& place, const ArchiveRecord& record) {
  if (!record.crc || record.isLink) return false;
  Result<ExistingFile> file = into.OpenExisting(place);
  if (!file || file->size() != record.size) return false;
  return crcOf(*file) == record.crc;
}

}  // namespace fdk
