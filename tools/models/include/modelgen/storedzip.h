// A minimal ZIP writer: every member stored uncompressed, which any unzip
// reads and which needs no compression library.
#pragma once

#include <string>
#include <vector>

#include "modelgen/writers.h"

namespace modelgen {

uint32_t crc32(const ByteVector& bytes);

// Members in order, names with '/' separators; a fixed time stamp keeps the
// archive the same from build to build.
ByteVector encodeStoredZip(const std::vector<PakMember>& members);

}  // namespace modelgen
