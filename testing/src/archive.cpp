#include "testing/archive.h"

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

}  // namespace fdk
