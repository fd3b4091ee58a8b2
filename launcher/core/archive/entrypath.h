#pragma once
// Names stored in an archive come from whoever made the archive. Before any
// name becomes a path on disk it is taken apart here, and a name that could
// lead outside the destination folder is refused.
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

// Reads "\" as a folder separator (archives made on Windows store it), drops
// "." and empty parts, and refuses absolute names, drive letters, ".." parts,
// NUL and control characters, and names that name nothing. A trailing
// separator marks a folder entry. The error says why the name was refused.
Result<EntryPath> SafeEntryPath(std::string_view stored);

}  // namespace fdk
