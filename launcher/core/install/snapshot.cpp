#include "core/install/snapshot.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "base/text.h"
#include "core/platform/paths.h"

namespace fdk {

namespace {

struct FolderEntries {
  std::vector<std::string> files;    // names
  std::vector<std::string> folders;  // names
};

// The kind readdir reports, asking the file system only when it does not say
// (some file systems answer DT_UNKNOWN): one stat per entry would dominate the
// time of a large game folder.
bool isRealFolder(DIR* dir, const dirent* entry) {
  if (entry->d_type != DT_UNKNOWN) return entry->d_type == DT_DIR;
  struct stat info {};
  if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  return S_ISDIR(info.st_mode);
}

// Names compare without letter case; two names that differ only in case keep
// one fixed order so that two snapshots of the same folder read the same.
bool snapshotOrder(const std::string& a, const std::string& b) {
  if (lessNoCase(a, b)) return true;
  if (lessNoCase(b, a)) return false;
  return a < b;
}

// Reads one folder. Below the game folder a link at the folder's own place is
// not entered (a folder swapped for a link since its parent was read); the
// path is opened without its trailing separator, which would make the system
// follow a link after all.
FolderEntries readFolder(const std::string& folder, bool isGameFolder) {
  FolderEntries entries;
  std::string path = folder;
  if (path.size() > 1) path.pop_back();
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (isGameFolder ? 0 : O_NOFOLLOW);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) return entries;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    ::close(fd);
    return entries;
  }
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name.empty() || name.front() == '.') continue;  // hidden entries, "." and ".."
    (isRealFolder(dir, entry) ? entries.folders : entries.files).emplace_back(name);
  }
  ::closedir(dir);
  // Every entry of one folder shares the folder's path, so ordering the names
  // orders the full paths.
  std::sort(entries.files.begin(), entries.files.end(), snapshotOrder);
  std::sort(entries.folders.begin(), entries.folders.end(), snapshotOrder);
  return entries;
}

}  // namespace

std::string SnapshotRoot(const std::string& gameFolder) {
  std::string folder = gameFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return withTrailingSep(std::move(folder));
}

InstallSnapshot TakeSnapshot(const std::string& gameFolder, SnapshotHost* host) {
  InstallSnapshot snapshot;
  // An empty setting names no folder; listing "/" in its place would be wrong and slow.
  if (gameFolder.empty()) return snapshot;
  struct stat info {};
  const std::string root = SnapshotRoot(gameFolder);
  if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return snapshot;

  // Depth first without recursion, so a hostile tree of deep folders cannot
  // exhaust the stack: sub-folders go onto the stack last one first.
  std::vector<std::string> pending{root};
  while (!pending.empty()) {
    std::string folder = std::move(pending.back());
    pending.pop_back();
    if (host != nullptr) host->folderEntered(folder, snapshot.lbf.size());
    FolderEntries entries = readFolder(folder, snapshot.lbv.empty());
    for (const std::string& name : entries.files) snapshot.lbf.push_back(folder + name);
    for (auto it = entries.folders.rbegin(); it != entries.folders.rend(); ++it) pending.push_back(folder + *it + "/");
    snapshot.lbv.push_back(std::move(folder));
  }
  return snapshot;
}

namespace {

std::string crlfLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

// Lines end with CR LF; a bare LF is taken as well, in case the files were
// edited by hand.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text, start, stop - start);
    start = end + 1;
  }
  return lines;
}

Status writeList(const std::vector<std::string>& lines, const std::string& path) {
  Status wrote = writeFileAtomically(path, crlfLines(lines));
  if (!wrote) return Error("Cannot write the install snapshot file " + path, wrote.error().text);
  return {};
}

}  // namespace

Status WriteSnapshotFiles(const InstallSnapshot& snapshot, const std::string& programFolder) {
  if (Status v = writeList(snapshot.lbv, joinPath(programFolder, "list.v")); !v) return v;
  return writeList(snapshot.lbf, joinPath(programFolder, "list.f"));
}

Result<InstallSnapshot> ReadSnapshotFiles(const std::string& programFolder) {
  InstallSnapshot snapshot;
  for (auto [name, lines] : {std::pair{"list.v", &snapshot.lbv}, std::pair{"list.f", &snapshot.lbf}}) {
    const std::string path = joinPath(programFolder, name);
    Result<std::string> text = readWholeFile(path);
    if (!text) return Error("Cannot read the install snapshot file " + path, text.error().text);
    *lines = splitLines(*text);
  }
  return snapshot;
}

}  // namespace fdk
