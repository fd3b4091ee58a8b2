#pragma once
// Names stored in an archive come from whoever made the archive. Before any
// name becomes a path on disk it is taken apart here, and a name that could
// lead outside the destination folder is refused.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace fdk {

// A stored name taken apart: folder parts in order (none empty, "." or ".."),
// then the file name, empty for a folder entry.
struct EntryPath {
  std::vector<std::string> folders;
  std::string name;

  bool isFolder() const { return name.empty(); }
  // The parts joined with "/" (a folder entry ends with "/").
  std::string joined() const;
  // The same entry put straight into the destination: the file name alone.
  EntryPath withoutFolders() const { return EntryPath{{}, name}; }
};

// The longest path below the destination and the deepest nesting an entry
// may have. Together with a game folder's own path they stay far below what
// the system can open by one path, and the install snapshot and the clean-up
// tool reach every file an install makes.
inline constexpr std::size_t kMaxEntryPathBytes = 1024;
inline constexpr std::size_t kMaxEntryFolders = 32;

// Reads "\" as a folder separator (archives made on Windows store it), drops
// "." and empty parts, and refuses absolute names, drive letters, ".." parts,
// NUL and control characters, names that name nothing, and names longer or
// deeper than the limits above. A trailing separator marks a folder entry.
// The error says why the name was refused.
Result<EntryPath> SafeEntryPath(std::string_view stored);

}  // namespace fdk
