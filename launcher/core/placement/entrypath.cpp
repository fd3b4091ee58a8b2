#include "core/placement/entrypath.h"

#include "base/pathsplit.h"

namespace fdk {

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool isControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

// Why the stored name must not become a path, or "" when it may.
std::string refusal(std::string_view stored) {
  if (stored.empty()) return "the name is empty";
  for (char c : stored)
    if (isControl(c)) return "the name holds a control character";
  if (isSeparator(stored.front())) return "the name is absolute";
  // "C:evil" is relative to drive C's current folder on Windows: outside the destination too.
  if (stored.size() >= 2 && isAsciiLetter(stored[0]) && stored[1] == ':') return "the name starts with a drive letter";
  return "";
}

std::vector<std::string_view> splitParts(std::string_view stored) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= stored.size(); ++i) {
    if (i < stored.size() && !isSeparator(stored[i])) continue;
    std::string_view part = stored.substr(start, i - start);
    if (!part.empty() && part != ".") parts.push_back(part);
    start = i + 1;
  }
  return parts;
}

}  // namespace

std::string EntryPath::joined() const {
  std::string out;
  for (const std::string& folder : folders) out += folder + '/';
  return out + name;
}

Result<EntryPath> SafeEntryPath(std::string_view stored) {
  if (std::string why = refusal(stored); !why.empty()) return Error{ErrorKind::Unsafe, why};
  std::vector<std::string_view> parts = splitParts(stored);
  for (std::string_view part : parts)
    if (part == "..") return Error{ErrorKind::Unsafe, "the name climbs out of its folder with \"..\""};
  if (parts.empty()) return Error{ErrorKind::Unsafe, "the name names no file or folder"};

  EntryPath path;
  // "maps/" and "maps/." both name the folder maps.
  const std::string last = fileNamePartAnySeparator(stored);
  const bool folderEntry = last.empty() || last == ".";
  const std::size_t folderCount = folderEntry ? parts.size() : parts.size() - 1;
  for (std::size_t i = 0; i < folderCount; ++i) path.folders.emplace_back(parts[i]);
  if (!folderEntry) path.name = std::string(parts.back());
  if (path.folders.size() > kMaxEntryFolders)
    return Error{ErrorKind::Unsafe, "the name nests " + std::to_string(path.folders.size()) + " folders deep, more than the " +
                 std::to_string(kMaxEntryFolders) + " allowed"};
  if (const std::size_t length = path.joined().size(); length > kMaxEntryPathBytes)
    return Error{ErrorKind::Unsafe, "the name is " + std::to_string(length) + " bytes long, longer than the " +
                 std::to_string(kMaxEntryPathBytes) + " allowed"};
  return path;
}

}  // namespace fdk
