#pragma once
// Folder listings in the launcher's way: one pattern, names sorted, each entry once.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/games/games.h"

namespace fdk {

// '*' matches any run of characters, '?' one character; letters compare without case,
// because add-on archives arrive as "MAP.ZIP" as often as "map.zip".
bool WildcardMatch(std::string_view pattern, std::string_view name);

enum class EntryKind { Any, Files, Folders };

struct ListOptions {
  EntryKind kind = EntryKind::Any;
  bool skipDotNames = false;  // leave out names that start with "."
};

// The spelling on disk of the entry of `kind` in folder named `name` without
// regard to ASCII letter case (the exact spelling wins); nullopt when there is
// none. Games and add-ons come from systems that ignore letter case.
std::optional<std::string> FindNameNoCase(const std::string& folder, const std::string& name, EntryKind kind);
// The same as a path: a plain file's, or a folder's with its trailing separator.
std::optional<std::string> FindFileNoCase(const std::string& folder, const std::string& name);
std::optional<std::string> FindFolderNoCase(const std::string& folder, const std::string& name);

// The game's base folder below gameFolder in its spelling on disk ("ID1/" is
// "id1/"), with its trailing separator; nullopt when there is none.
std::optional<std::string> BaseFolderOnDisk(const std::string& gameFolder, Game game);

// Names of the entries of folder that match pattern, sorted by name. A missing folder lists nothing.
std::vector<std::string> ListFolder(const std::string& folder, std::string_view pattern, ListOptions options = {});

}  // namespace fdk
