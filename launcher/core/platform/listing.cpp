#include "core/platform/listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/text.h"

namespace fdk {

namespace {
bool kindMatches(const std::filesystem::directory_entry& entry, EntryKind kind) {
  std::error_code ec;
  switch (kind) {
    case EntryKind::Files: return entry.is_regular_file(ec);
    case EntryKind::Folders: return entry.is_directory(ec);
    case EntryKind::Any: break;
  }
  return true;
}
}  // namespace

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with one backtrack point: linear in practice, no recursion on hostile names.
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::optional<std::string> FindNameNoCase(const std::string& folder, const std::string& name, EntryKind kind) {
  std::error_code ec;
  const std::filesystem::directory_entry exact(folder + name, ec);
  if (!ec && exact.exists(ec) && kindMatches(exact, kind)) return name;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::string found = it->path().filename().string();
    if (equalsNoCase(found, name) && kindMatches(*it, kind)) return found;
  }
  return std::nullopt;
}

std::optional<std::string> FindFileNoCase(const std::string& folder, const std::string& name) {
  std::optional<std::string> found = FindNameNoCase(folder, name, EntryKind::Files);
  return found ? std::optional(folder + *found) : std::nullopt;
}

std::optional<std::string> FindFolderNoCase(const std::string& folder, const std::string& name) {
  std::optional<std::string> found = FindNameNoCase(folder, name, EntryKind::Folders);
  return found ? std::optional(folder + *found + "/") : std::nullopt;
}

std::vector<std::string> ListFolder(const std::string& folder, std::string_view pattern, ListOptions options) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (options.skipDotNames && !name.empty() && name.front() == '.') continue;
    if (!WildcardMatch(pattern, name) || !kindMatches(*it, options.kind)) continue;
    names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> BaseFolderOnDisk(const std::string& gameFolder, Game game) {
  return FindFolderNoCase(gameFolder, BaseFolderName(game));
}

}  // namespace fdk
