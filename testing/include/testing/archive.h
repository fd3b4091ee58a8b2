#pragma once
// Writes ZIP archives for tests and demo content, including the hostile entries
// an archive from the internet may hold: names with "../", absolute names,
// "\" separators, drive letters, symbolic links, and entries sharing their data.
#include <string>
#include <vector>

#include "base/result.h"

namespace fdk {

struct ArchiveEntry {
  enum class Kind { File, Folder, Link };

  std::string name;   // stored exactly as given
  std::string bytes;  // a link's target for Kind::Link
  Kind kind = Kind::File;
  bool compress = true;  // deflated, else stored
};

Status WriteArchive(const std::string& path, const std::vector<ArchiveEntry>& entries);

// The overlapping-entry ZIP bomb: an archive of `shared` alone, whose central
// directory then lists it once under each of `names`, every listing pointing
// at the one local header and its data.
Status WriteOverlappingArchive(const std::string& path, const ArchiveEntry& shared,
                               const std::vector<std::string>& names);

}  // namespace fdk
