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

// Reads the folder open at fd, taking the descriptor. A folder that cannot be
// read lists nothing.
FolderEntries readFolder(int fd) {
  FolderEntries entries;
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

// Folders below the game folder are opened by name relative to their parent's
// descriptor, never by their full path: a long game-folder path plus the
// deepest path an install may make can be longer than the system opens in one
// path. A link at a folder's place is never entered (a folder swapped for a
// link since its parent was read).
constexpr int kBelowFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Only the folders nearest the top of the walk keep their descriptors, so a
// hostile tree thousands of folders deep cannot use up the process's
// descriptors; a folder whose descriptor was let go is opened again, one name
// at a time, from the nearest one still open.
constexpr std::size_t kHeldFolders = 64;

struct Frame {
  int fd;
  std::string name;                  // "" for the game folder
  std::string path;                  // with its trailing separator
  std::vector<std::string> pending;  // sub-folders still to visit, the next one last
};

class Walk {
 public:
  Walk(InstallSnapshot& snapshot, SnapshotHost* host) : snapshot_(snapshot), host_(host) {}
  ~Walk() {
    for (Frame& frame : stack_) closeFd(frame.fd);
  }
  Walk(const Walk&) = delete;
  Walk& operator=(const Walk&) = delete;

  // Depth first without recursion, so a deep tree cannot exhaust the stack.
  void run(int rootFd, const std::string& root) {
    enter(rootFd, "", root);
    while (!stack_.empty()) {
      if (stack_.back().pending.empty()) {
        closeFd(stack_.back().fd);
        stack_.pop_back();
        continue;
      }
      std::string name = std::move(stack_.back().pending.back());
      stack_.back().pending.pop_back();
      const int parent = openTop();
      const int fd = parent >= 0 ? ::openat(parent, name.c_str(), kBelowFlags) : -1;
      std::string path = stack_.back().path + name + "/";
      enter(fd, std::move(name), std::move(path));
    }
  }

 private:
  static void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }

  // A folder is reported when the walk enters it, its files right after.
  void enter(int fd, std::string name, std::string path) {
    if (host_ != nullptr) host_->folderEntered(path, snapshot_.files.size());
    // fdopendir takes its descriptor; the frame keeps its own to open the sub-folders from.
    FolderEntries entries = readFolder(fd >= 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1);
    for (const std::string& file : entries.files) snapshot_.files.push_back(path + file);
    snapshot_.folders.push_back(path);
    if (entries.folders.empty()) {
      if (fd >= 0) ::close(fd);
      return;
    }
    std::reverse(entries.folders.begin(), entries.folders.end());
    stack_.push_back(Frame{fd, std::move(name), std::move(path), std::move(entries.folders)});
    // The game folder keeps its descriptor: every reopening starts there at the latest.
    if (stack_.size() > kHeldFolders + 1) closeFd(stack_[stack_.size() - 1 - kHeldFolders].fd);
  }

  // The descriptor of the folder on top, opened again when it was let go.
  int openTop() {
    Frame& top = stack_.back();
    if (top.fd >= 0 || stack_.size() == 1) return top.fd;
    std::size_t from = stack_.size() - 1;
    while (from > 0 && stack_[from].fd < 0) --from;
    int at = stack_[from].fd;
    for (std::size_t i = from + 1; i < stack_.size() && at >= 0; ++i) {
      const int next = ::openat(at, stack_[i].name.c_str(), kBelowFlags);
      if (at != stack_[from].fd) ::close(at);
      at = next;
    }
    top.fd = at;
    return at;
  }

  InstallSnapshot& snapshot_;
  SnapshotHost* host_;
  std::vector<Frame> stack_;
};

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
  // The game folder itself may be a link the player set up (another disk).
  const std::string root = SnapshotRoot(gameFolder);
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return snapshot;
  Walk(snapshot, host).run(fd, root);
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

Status WriteSnapshotFiles(const InstallSnapshot& snapshot, const std::string& stateFolder) {
  if (Status v = writeList(snapshot.folders, joinPath(stateFolder, "list.v")); !v) return v;
  return writeList(snapshot.files, joinPath(stateFolder, "list.f"));
}

Result<InstallSnapshot> ReadSnapshotFiles(const std::string& stateFolder) {
  InstallSnapshot snapshot;
  for (auto [name, lines] : {std::pair{"list.v", &snapshot.folders}, std::pair{"list.f", &snapshot.files}}) {
    const std::string path = joinPath(stateFolder, name);
    Result<std::string> text = readWholeFile(path);
    if (!text) return Error("Cannot read the install snapshot file " + path, text.error().text);
    *lines = splitLines(*text);
  }
  return snapshot;
}

}  // namespace fdk
