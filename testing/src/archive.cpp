#include "testing/archive.h"

#include <cstdint>
#include <fstream>
#include <iterator>

#include <sys/stat.h>
#include <zip.h>

namespace fdk {

namespace {

Error zipError(const std::string& path, zip_t* archive) {
  return Error{"cannot write " + path + ": " + zip_strerror(archive)};
}

// Unix file type and permissions, kept in the high half of the external attributes.
zip_uint32_t unixAttributes(ArchiveEntry::Kind kind) {
  const mode_t mode = kind == ArchiveEntry::Kind::Link ? (S_IFLNK | 0777) : (S_IFREG | 0644);
  return static_cast<zip_uint32_t>(mode) << 16;
}

Status addEntry(zip_t* archive, const std::string& path, const ArchiveEntry& e) {
  if (e.kind == ArchiveEntry::Kind::Folder) {
    if (zip_dir_add(archive, e.name.c_str(), ZIP_FL_ENC_RAW) < 0) return zipError(path, archive);
    return {};
  }
  zip_source_t* source = zip_source_buffer(archive, e.bytes.data(), e.bytes.size(), 0);
  if (source == nullptr) return zipError(path, archive);
  const zip_int64_t index = zip_file_add(archive, e.name.c_str(), source, ZIP_FL_ENC_RAW);
  if (index < 0) {
    zip_source_free(source);
    return zipError(path, archive);
  }
  const auto at = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(archive, at, e.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0) < 0 ||
      zip_file_set_external_attributes(archive, at, 0, ZIP_OPSYS_UNIX, unixAttributes(e.kind)) < 0)
    return zipError(path, archive);
  return {};
}

}  // namespace

Status WriteArchive(const std::string& path, const std::vector<ArchiveEntry>& entries) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (archive == nullptr) return Error{"cannot create " + path + " (libzip error " + std::to_string(code) + ")"};
  for (const ArchiveEntry& e : entries) {
    if (Status added = addEntry(archive, path, e); !added) {
      zip_discard(archive);
      return added;
    }
  }
  // The sources point into `entries`, which live until this close has written them.
  if (zip_close(archive) != 0) {
    Error error = zipError(path, archive);
    zip_discard(archive);
    return error;
  }
  return {};
}

namespace {

std::uint32_t get(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes; i-- > 0;) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

void put(std::string& b, std::size_t at, int bytes, std::uint32_t v) {
  for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

// The archive's local part, and a central directory that lists its one entry
// under every name: the entry's header (46 bytes, its name and extra fields)
// with the name swapped, and an end record that counts them.
Result<std::string> withSharedEntry(const std::string& zip, const std::vector<std::string>& names) {
  // libzip writes no archive comment: the end record is the last 22 bytes.
  if (zip.size() < 22 || zip.compare(zip.size() - 22, 4, "PK\x05\x06") != 0 || get(zip, zip.size() - 12, 2) != 1)
    return Error{"the archive of one entry is not laid out as expected"};
  const std::size_t central = get(zip, zip.size() - 6, 4);
  const std::size_t nameBytes = get(zip, central + 28, 2);
  const std::string header = zip.substr(central, 46);
  const std::string rest = zip.substr(central + 46 + nameBytes, zip.size() - 22 - central - 46 - nameBytes);
  std::string out = zip.substr(0, central);
  for (const std::string& name : names) {
    std::string entry = header;
    put(entry, 28, 2, static_cast<std::uint32_t>(name.size()));
    out += entry + name + rest;
  }
  std::string end = zip.substr(zip.size() - 22);
  put(end, 8, 2, static_cast<std::uint32_t>(names.size()));
  put(end, 10, 2, static_cast<std::uint32_t>(names.size()));
  put(end, 12, 4, static_cast<std::uint32_t>(out.size() - central));
  return out + end;
}

}  // namespace

Status WriteOverlappingArchive(const std::string& path, const ArchiveEntry& shared,
                               const std::vector<std::string>& names) {
  if (Status one = WriteArchive(path, {shared}); !one) return one;
  std::ifstream in(path, std::ios::binary);
  Result<std::string> bomb = withSharedEntry(std::string(std::istreambuf_iterator<char>(in), {}), names);
  if (!bomb) return Error{"cannot write " + path + ": " + bomb.error().text};
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bomb->data(), static_cast<std::streamsize>(bomb->size()));
  if (!out.flush()) return Error{"cannot write " + path};
  return {};
}

}  // namespace fdk
