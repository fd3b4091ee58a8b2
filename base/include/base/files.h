#pragma once
// Reading, writing and copying whole files without ever leaving one half-written,
// and without being led astray by what a hostile or broken folder holds in place
// of a file (a FIFO, a device, a symbolic link to somewhere else).
#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"

namespace fdk {

// Reads a regular file whole (a link to one is followed). Anything else (a FIFO,
// a device, a folder) or a file larger than maxBytes is refused, and nothing blocks.
Result<std::string> readWholeFile(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

// How a write treats a symbolic link found where the file goes.
enum class AtTargetLink {
  Replace,  // the link itself is replaced by the new file; what it points to stays untouched
  Follow,   // the file the link points to is replaced, beside itself, and the link stays
};

// Writes bytes to path through a temporary file beside it and a rename, so a
// crash never leaves a half-written file. A file that is replaced keeps its
// permissions.
Status writeFileAtomically(const std::string& path, std::string_view bytes,
                                AtTargetLink link = AtTargetLink::Replace);

// Copies a regular file, never a symbolic link or anything that is not a plain
// file, onto target through a temporary file and a rename. A link at the target
// is replaced, never written through.
Status copyFileReplacing(const std::string& source, const std::string& target);

// Whether a name is one the atomic writes give their temporary file beside a
// file called fileName: "." + fileName + ".tmp" and six letters or digits.
bool isTemporaryOf(std::string_view name, std::string_view fileName);

// Removes the temporary files that writeFileAtomically leaves beside path when
// the process is killed half-way through a save (beside the file a link names,
// when the writes follow it).
void removeStaleTemporaries(const std::string& path, AtTargetLink link = AtTargetLink::Replace);

}  // namespace fdk
