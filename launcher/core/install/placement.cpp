#include "core/install/placement.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>
#include <unordered_map>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"
#include "core/platform/paths.h"

namespace fdk {

namespace {

constexpr mode_t kFileMode = 0644;  // narrowed by the user's umask, as any new file
constexpr mode_t kFolderMode = 0755;
constexpr std::size_t kMaxNameBytes = 255;  // NAME_MAX of the usual Linux file systems
constexpr int kTempAttempts = 16;

enum class ItemKind { Folder, File, Link, Other };

struct Item {
  std::string name;
  ItemKind kind;
};

// The entries of one folder by their lower-case names; twins that differ only
// in case share a key, in name order.
using Listing = std::unordered_map<std::string, std::vector<Item>>;

Error systemError(const std::string& what) { return Error{what + ": " + std::strerror(errno)}; }

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

ItemKind kindOfMode(mode_t mode) {
  if (S_ISDIR(mode)) return ItemKind::Folder;
  if (S_ISLNK(mode)) return ItemKind::Link;
  if (S_ISREG(mode)) return ItemKind::File;
  return ItemKind::Other;
}

ItemKind kindAt(int folderFd, const char* name) {
  struct stat st {};
  if (::fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return ItemKind::Other;
  return kindOfMode(st.st_mode);
}

ItemKind kindOf(int folderFd, const dirent& d) {
  switch (d.d_type) {
    case DT_DIR: return ItemKind::Folder;
    case DT_REG: return ItemKind::File;
    case DT_LNK: return ItemKind::Link;
    case DT_UNKNOWN: return kindAt(folderFd, d.d_name);
    default: return ItemKind::Other;
  }
}

void addItem(Listing& listing, Item item) {
  std::vector<Item>& twins = listing[lowerAsciiCopy(item.name)];
  auto at = std::lower_bound(twins.begin(), twins.end(), item.name,
                             [](const Item& a, const std::string& name) { return a.name < name; });
  if (at != twins.end() && at->name == item.name) {
    *at = std::move(item);
  } else {
    twins.insert(at, std::move(item));
  }
}

Listing readListing(int folderFd) {
  Listing listing;
  // A listing that cannot be read counts as empty; writes still never replace
  // what they did not see, because the final rename refuses to.
  const int copy = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
  DIR* dir = copy >= 0 ? ::fdopendir(copy) : nullptr;
  if (dir == nullptr) {
    if (copy >= 0) ::close(copy);
    return listing;
  }
  while (const dirent* d = ::readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    addItem(listing, Item{std::string(name), kindOf(folderFd, *d)});
  }
  ::closedir(dir);
  return listing;
}

// The entry of that name, its own spelling first, else the first of its twins.
const Item* findItem(const Listing& listing, std::string_view name) {
  auto it = listing.find(lowerAsciiCopy(name));
  if (it == listing.end()) return nullptr;
  for (const Item& item : it->second)
    if (item.name == name) return &item;
  return &it->second.front();
}

// A folder reached from the root: its descriptor, and its path below the root
// in the spelling on disk ("maps/", "" for the root), which keys its listing.
struct Folder {
  UniqueFd fd;
  std::string key;
};

// The temporary name beside a target. Its shape is the one of the base
// library's atomic writes, so stale ones are recognised the same way.
std::string tempName(const std::string& name, std::minstd_rand& random) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string stem = "." + name + ".tmp";
  if (stem.size() + 6 > kMaxNameBytes) stem = ".fragdock.tmp";
  for (int i = 0; i < 6; ++i) stem += kChars[random() % (sizeof kChars - 1)];
  return stem;
}

}  // namespace

struct PlacementState {
  std::string root;
  UniqueFd rootFd;
  std::unordered_map<std::string, Listing> listings;
  std::minstd_rand random{std::random_device{}()};

  Listing& listingOf(const Folder& folder) {
    auto it = listings.find(folder.key);
    if (it == listings.end()) it = listings.emplace(folder.key, readListing(folder.fd.get())).first;
    return it->second;
  }

  std::string pathOf(const Folder& folder, std::string_view name) const {
    return root + folder.key + std::string(name);
  }

  Folder rootFolder() const { return Folder{UniqueFd(::fcntl(rootFd.get(), F_DUPFD_CLOEXEC, 0)), ""}; }

  Result<std::optional<Folder>> step(const Folder& from, const std::string& part, bool make);
  Result<std::optional<Folder>> walk(const std::vector<std::string>& parts, bool make);
};

namespace {

Result<Folder> openSubfolder(PlacementState& state, const Folder& from, const std::string& name) {
  // O_NOFOLLOW: a link swapped in after the listing was read is refused here.
  UniqueFd fd(::openat(from.fd.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() < 0) return systemError("cannot open the folder " + state.pathOf(from, name));
  return Folder{std::move(fd), from.key + name + "/"};
}

Status makeSubfolder(PlacementState& state, const Folder& from, const std::string& name) {
  if (::mkdirat(from.fd.get(), name.c_str(), kFolderMode) != 0 && errno != EEXIST)
    return systemError("cannot make the folder " + state.pathOf(from, name));
  // After EEXIST something appeared meanwhile: record what it is, the caller checks it.
  addItem(state.listingOf(from), Item{name, kindAt(from.fd.get(), name.c_str())});
  return {};
}

Error notAFolder(const PlacementState& state, const Folder& from, const Item& item) {
  const std::string path = state.pathOf(from, item.name);
  if (item.kind == ItemKind::Link)
    return Error{path + " is a symbolic link where a folder must go; nothing is written through links"};
  return Error{path + " is a file where a folder must go"};
}

}  // namespace

// One folder part further: the folder, or nothing when the part is missing
// and not to be made.
Result<std::optional<Folder>> PlacementState::step(const Folder& from, const std::string& part, bool make) {
  const Item* item = findItem(listingOf(from), part);
  if (item == nullptr) {
    if (!make) return std::optional<Folder>();
    if (Status made = makeSubfolder(*this, from, part); !made) return made.error();
    item = findItem(listingOf(from), part);
  }
  if (item->kind != ItemKind::Folder) return notAFolder(*this, from, *item);
  Result<Folder> opened = openSubfolder(*this, from, item->name);
  if (!opened) return opened.error();
  return std::optional<Folder>(std::move(*opened));
}

// The folder the parts lead to, or nothing when one is missing and not to be made.
Result<std::optional<Folder>> PlacementState::walk(const std::vector<std::string>& parts, bool make) {
  std::optional<Folder> at = rootFolder();
  if (at->fd.get() < 0) return systemError("cannot open " + root);
  for (const std::string& part : parts) {
    Result<std::optional<Folder>> next = step(*at, part, make);
    if (!next || !next->has_value()) return next;
    at = std::move(*next);
  }
  return at;
}

// ---- PendingFile ----

PendingFile::PendingFile(PlacementState& state, int folderFd, int fd, std::string folderKey, std::string temp,
                         std::string name, std::string target, bool overwrite)
    : state_(&state),
      folderFd_(folderFd),
      fd_(fd),
      folderKey_(std::move(folderKey)),
      temp_(std::move(temp)),
      name_(std::move(name)),
      target_(std::move(target)),
      overwrite_(overwrite) {}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : state_(other.state_),
      folderFd_(std::exchange(other.folderFd_, -1)),
      fd_(std::exchange(other.fd_, -1)),
      folderKey_(std::move(other.folderKey_)),
      temp_(std::move(other.temp_)),
      name_(std::move(other.name_)),
      target_(std::move(other.target_)),
      overwrite_(other.overwrite_) {}

PendingFile::~PendingFile() { Discard(); }

void PendingFile::Discard() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
  if (folderFd_ >= 0) {
    ::unlinkat(folderFd_, temp_.c_str(), 0);
    ::close(std::exchange(folderFd_, -1));
  }
}

Status PendingFile::Write(std::string_view bytes) {
  if (fd_ < 0) return Error{"cannot write " + target_ + ": the file is no longer open"};
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return systemError("cannot write " + target_);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

namespace {

// Renames without replacing anything: where the file system cannot say
// "no replace" to a rename, a hard link does the same (it fails on an
// existing name), and the temporary name is removed after it. A file system
// with neither falls back to the plain rename, behind the check for an
// existing file that Begin made.
int renameNoReplace(int folderFd, const char* from, const char* to) {
  if (::renameat2(folderFd, from, folderFd, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (::linkat(folderFd, from, folderFd, to, 0) == 0) {
    ::unlinkat(folderFd, from, 0);
    return 0;
  }
  if (errno == EEXIST) return -1;
  return ::renameat(folderFd, from, folderFd, to);
}

}  // namespace

Status PendingFile::Commit() {
  if (fd_ < 0 || folderFd_ < 0) return Error{"cannot write " + target_ + ": the file is no longer open"};
  // Without fsync: a crash of the program never shows a half-written file
  // under the real name, which is the promise; syncing every file of a MOD
  // would make an install many times slower than unzip for no gain there.
  if (::close(std::exchange(fd_, -1)) != 0) {
    Error error = systemError("cannot write " + target_);
    Discard();
    return error;
  }
  const int renamed = overwrite_ ? ::renameat(folderFd_, temp_.c_str(), folderFd_, name_.c_str())
                                 : renameNoReplace(folderFd_, temp_.c_str(), name_.c_str());
  if (renamed != 0) {
    Error error = errno == EEXIST ? Error{target_ + " appeared while it was written; the file there is kept"}
                                  : systemError("cannot put " + target_ + " in place");
    Discard();
    return error;
  }
  auto listing = state_->listings.find(folderKey_);
  if (listing != state_->listings.end()) addItem(listing->second, Item{name_, ItemKind::File});
  ::close(std::exchange(folderFd_, -1));
  return {};
}

// ---- Placement ----

Placement::Placement(std::unique_ptr<PlacementState> state) : state_(std::move(state)) {}
Placement::Placement(Placement&&) noexcept = default;
Placement& Placement::operator=(Placement&&) noexcept = default;
Placement::~Placement() = default;

const std::string& Placement::root() const { return state_->root; }

Result<Placement> Placement::Open(const std::string& root) {
  auto state = std::make_unique<PlacementState>();
  state->root = withTrailingSep(root);
  std::error_code ec;
  std::filesystem::create_directories(state->root, ec);
  state->rootFd = UniqueFd(::open(state->root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (state->rootFd.get() < 0) return systemError("cannot open the folder " + state->root);
  return Placement(std::move(state));
}

namespace {

// The folder parts that lead to an entry's place, and the name at that place.
std::pair<std::vector<std::string>, std::string> parentAndName(const EntryPath& entry) {
  if (!entry.isFolder()) return {entry.folders, entry.name};
  std::vector<std::string> parents(entry.folders.begin(), entry.folders.end() - (entry.folders.empty() ? 0 : 1));
  return {parents, entry.folders.empty() ? std::string() : entry.folders.back()};
}

mode_t modeAt(int folderFd, const std::string& name) {
  struct stat st {};
  if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
    return st.st_mode & 07777;
  return 0;
}

}  // namespace

bool Placement::Exists(const EntryPath& entry) {
  auto [parents, name] = parentAndName(entry);
  if (name.empty()) return true;  // the root itself
  Result<std::optional<Folder>> folder = state_->walk(parents, false);
  if (!folder || !folder->has_value()) return false;
  return findItem(state_->listingOf(**folder), name) != nullptr;
}

Status Placement::MakeFolders(const EntryPath& entry) {
  Result<std::optional<Folder>> folder = state_->walk(entry.folders, true);
  if (!folder) return folder.error();
  return {};
}

Result<PendingFile> Placement::Begin(const EntryPath& entry, bool overwrite) {
  if (entry.isFolder()) return Error{state_->root + entry.joined() + " names a folder, not a file"};
  Result<std::optional<Folder>> walked = state_->walk(entry.folders, true);
  if (!walked) return walked.error();
  Folder folder = std::move(**walked);
  std::string name = entry.name;
  mode_t keptMode = 0;
  if (const Item* item = findItem(state_->listingOf(folder), name)) {
    const std::string there = state_->pathOf(folder, item->name);
    if (!overwrite) return Error{there + " exists; it is kept"};
    if (item->kind == ItemKind::Folder) return Error{there + " is a folder; it is not replaced by a file"};
    name = item->name;
    keptMode = modeAt(folder.fd.get(), name);
  }
  const std::string target = state_->pathOf(folder, name);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string temp = tempName(name, state_->random);
    const int fd = ::openat(folder.fd.get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            kFileMode);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return systemError("cannot create a temporary file beside " + target);
    if (keptMode != 0) ::fchmod(fd, keptMode);
    return PendingFile(*state_, folder.fd.release(), fd, folder.key, std::move(temp), std::move(name), target, overwrite);
  }
  return Error{"cannot create a temporary file beside " + target + ": every name tried was taken"};
}

}  // namespace fdk
