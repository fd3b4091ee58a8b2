#include "core/placement/placement.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
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
#include "base/uniquefd.h"
#include "core/platform/paths.h"

namespace fdk {

namespace {

constexpr mode_t kFileMode = 0644;  // narrowed by the user's umask, as any new file
constexpr mode_t kFolderMode = 0755;
constexpr int kTempAttempts = 16;
constexpr const char* kStopped = "the install was stopped: the program was asked to end";

enum class ItemKind { Folder, File, Link, Other };

struct Item {
  std::string name;
  ItemKind kind;
};

// The entries of one folder by their lower-case names; twins that differ only
// in case share a key, in name order.
using Listing = std::unordered_map<std::string, std::vector<Item>>;

Error systemError(const std::string& what) { return Error{what + ": " + std::strerror(errno)}; }

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

// ---- Temporary files ----

constexpr std::string_view kPartPrefix = ".fragdock-part-";
constexpr std::string_view kPartInfix = ".tmp";
constexpr int kPartRandomChars = 6;
constexpr std::size_t kMaxPidDigits = 10;

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The process number in a temporary file's name; nothing for any other name,
// however close: a user's file is never taken for one.
std::optional<pid_t> partOwner(std::string_view name) {
  if (!name.starts_with(kPartPrefix)) return std::nullopt;
  name.remove_prefix(kPartPrefix.size());
  std::size_t digits = 0;
  long long pid = 0;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9' && digits < kMaxPidDigits)
    pid = pid * 10 + (name[digits++] - '0');
  if (digits == 0 || name[0] == '0' || pid > std::numeric_limits<pid_t>::max()) return std::nullopt;
  name.remove_prefix(digits);
  if (!name.starts_with(kPartInfix)) return std::nullopt;
  name.remove_prefix(kPartInfix.size());
  if (name.size() != kPartRandomChars || !std::all_of(name.begin(), name.end(), isAsciiAlnum)) return std::nullopt;
  return static_cast<pid_t>(pid);
}

// The temporary name beside a target: ".fragdock-part-<pid>.tmpXXXXXX". The
// process number tells a later placement whether its writer still runs.
std::string partName(std::minstd_rand& random) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string name = PartFilePrefix(::getpid()) + std::string(kPartInfix.substr(1));
  for (int i = 0; i < kPartRandomChars; ++i) name += kChars[random() % (sizeof kChars - 1)];
  return name;
}

// A temporary file is stale when its process no longer runs. This process's
// own are never stale: another placement of it may be writing them. A process
// that may not be signalled (EPERM) still runs.
bool isStale(pid_t owner) { return owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH; }

// Removes a stale temporary file of a placement; only plain files, never a
// link or a folder that merely carries such a name.
bool removedAsStale(int folderFd, const dirent& d) {
  const std::optional<pid_t> owner = partOwner(d.d_name);
  if (!owner || kindOf(folderFd, d) != ItemKind::File || !isStale(*owner)) return false;
  return ::unlinkat(folderFd, d.d_name, 0) == 0;
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

// Reading a folder's listing also clears it of temporary files that killed
// installs left behind, which nothing else would ever remove.
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
    if (name == "." || name == ".." || removedAsStale(folderFd, *d)) continue;
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

// The folder to go into for that name: a real folder among the twins wins
// (its own spelling first, else the first by name), so a link or a file that
// happens to sort first never stands in for it. Without one, what findItem
// finds, which the caller refuses.
const Item* findFolderItem(const Listing& listing, std::string_view name) {
  auto it = listing.find(lowerAsciiCopy(name));
  if (it == listing.end()) return nullptr;
  const Item* firstFolder = nullptr;
  for (const Item& item : it->second) {
    if (item.kind != ItemKind::Folder) continue;
    if (item.name == name) return &item;
    if (firstFolder == nullptr) firstFolder = &item;
  }
  return firstFolder != nullptr ? firstFolder : findItem(listing, name);
}

// A folder reached from the root: its descriptor, and its path below the root
// in the spelling on disk ("maps/", "" for the root), which keys its listing.
struct Folder {
  UniqueFd fd;
  std::string key;
};

}  // namespace

struct PlacementState {
  std::string root;
  UniqueFd rootFd;
  ChangeRecorder* recorder = nullptr;
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
  if (state.recorder != nullptr)
    if (Status told = state.recorder->BeforeFolder(state.pathOf(from, name) + "/"); !told) return told;
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
  const Item* item = findFolderItem(listingOf(from), part);
  if (item == nullptr) {
    if (!make) return std::optional<Folder>();
    if (Status made = makeSubfolder(*this, from, part); !made) return made.error();
    item = findFolderItem(listingOf(from), part);
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

// ---- Temporary files in flight, and the stop signals ----

namespace {

// The temporary files being written, where a signal handler can reach them.
// A handler may touch nothing but fixed memory and a few system calls, so
// this is one fixed table for the whole process, not a member of a
// placement. A slot is filled before its file is made and freed after the
// file is renamed or removed, so a signal at any moment finds every file.
constexpr int kPartSlots = 64;
constexpr std::size_t kPartNameBytes = 48;  // ".fragdock-part-" + a pid + ".tmp" + 6 is at most 35
enum SlotState : int { kSlotFree, kSlotFilling, kSlotArmed };

struct PartSlot {
  std::atomic<int> state{kSlotFree};
  int folderFd = -1;
  char name[kPartNameBytes] = {};
};

PartSlot gPartSlots[kPartSlots];
std::atomic<bool> gStopped{false};
struct sigaction gPreviousTerm {};
struct sigaction gPreviousInt {};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler reads them");

// The slot that now names the file, or -1 when every slot is taken: that
// file is then left to the sweep of a later placement should a signal end
// the process.
int armPart(int folderFd, const std::string& name) {
  if (name.size() >= kPartNameBytes) return -1;
  for (int i = 0; i < kPartSlots; ++i) {
    PartSlot& slot = gPartSlots[i];
    int expected = kSlotFree;
    if (!slot.state.compare_exchange_strong(expected, kSlotFilling)) continue;
    slot.folderFd = folderFd;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    slot.state.store(kSlotArmed, std::memory_order_release);
    return i;
  }
  return -1;
}

void disarmPart(int slot) {
  if (slot >= 0) gPartSlots[slot].state.store(kSlotFree, std::memory_order_release);
}

struct sigaction& previousAction(int signal) {
  return signal == SIGTERM ? gPreviousTerm : gPreviousInt;
}

// The default action (the end of the process) takes place as this handler
// returns: the signal is blocked while the handler runs, so raising it again
// leaves it pending until then.
void passToDefault(int signal) {
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  ::raise(signal);
}

// Async-signal-safe only: atomics, unlinkat, sigaction, raise, and whatever
// the handler before this one does.
void onStopSignal(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  gStopped.store(true);
  for (PartSlot& slot : gPartSlots)
    if (slot.state.load(std::memory_order_acquire) == kSlotArmed) ::unlinkat(slot.folderFd, slot.name, 0);
  const struct sigaction& previous = previousAction(signal);
  if ((previous.sa_flags & SA_SIGINFO) != 0) {
    previous.sa_sigaction(signal, info, context);
  } else if (previous.sa_handler == SIG_DFL) {
    passToDefault(signal);
  } else if (previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal);
  }
  errno = savedErrno;
}

bool isOurs(const struct sigaction& action) {
  return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == onStopSignal;
}

// Puts the handler in front of whatever handles the signal now. Called at
// every Open, so a handler set after an earlier placement (the launcher sets
// its own at start-up) is chained as well. An ignored signal ends nothing
// and stays ignored.
void chainStopHandler(int signal) {
  struct sigaction current {};
  if (::sigaction(signal, nullptr, &current) != 0 || isOurs(current)) return;
  if ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN) return;
  previousAction(signal) = current;
  struct sigaction action {};
  action.sa_sigaction = onStopSignal;
  action.sa_flags = SA_SIGINFO | (current.sa_flags & SA_RESTART);
  action.sa_mask = current.sa_mask;
  sigaddset(&action.sa_mask, SIGTERM);
  sigaddset(&action.sa_mask, SIGINT);
  ::sigaction(signal, &action, nullptr);
}

}  // namespace

bool IsPartFileName(std::string_view name) { return partOwner(name).has_value(); }

std::string PartFilePrefix(pid_t writer) { return std::string(kPartPrefix) + std::to_string(writer) + "."; }

bool InstallsStopped() { return gStopped.load(); }

// ---- PendingFile ----

PendingFile::PendingFile(PlacementState& state, int folderFd, int fd, int slot, std::string folderKey, std::string temp,
                         std::string name, std::string target, bool overwrite)
    : state_(&state),
      folderFd_(folderFd),
      fd_(fd),
      slot_(slot),
      folderKey_(std::move(folderKey)),
      temp_(std::move(temp)),
      name_(std::move(name)),
      target_(std::move(target)),
      overwrite_(overwrite) {}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : state_(other.state_),
      folderFd_(std::exchange(other.folderFd_, -1)),
      fd_(std::exchange(other.fd_, -1)),
      slot_(std::exchange(other.slot_, -1)),
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
    disarmPart(std::exchange(slot_, -1));
    ::close(std::exchange(folderFd_, -1));
  }
}

Status PendingFile::Write(std::string_view bytes) {
  if (fd_ < 0) return Error{"cannot write " + target_ + ": the file is no longer open"};
  while (!bytes.empty()) {
    if (InstallsStopped()) return Error{"cannot write " + target_ + ": " + kStopped};
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
  if (InstallsStopped()) {
    Discard();
    return Error{"cannot write " + target_ + ": " + kStopped};
  }
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
  disarmPart(std::exchange(slot_, -1));
  auto listing = state_->listings.find(folderKey_);
  if (listing != state_->listings.end()) addItem(listing->second, Item{name_, ItemKind::File});
  ::close(std::exchange(folderFd_, -1));
  if (state_->recorder != nullptr)
    if (Status told = state_->recorder->AfterWrite(target_); !told)
      return explained(target_ + " was written, but the clean-up tool may not know it: ", told.error());
  return {};
}

// ---- Placement ----

Placement::Placement(std::unique_ptr<PlacementState> state) : state_(std::move(state)) {}
Placement::Placement(Placement&&) noexcept = default;
Placement& Placement::operator=(Placement&&) noexcept = default;
Placement::~Placement() = default;

const std::string& Placement::root() const { return state_->root; }

Result<Placement> Placement::Open(const std::string& root, ChangeRecorder* recorder) {
  chainStopHandler(SIGTERM);
  chainStopHandler(SIGINT);
  auto state = std::make_unique<PlacementState>();
  state->root = withTrailingSep(root);
  state->recorder = recorder;
  std::error_code ec;
  if (recorder == nullptr) std::filesystem::create_directories(state->root, ec);
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

// ---- ExistingFile ----

ExistingFile::ExistingFile(int fd, std::uint64_t size, std::string path)
    : fd_(fd), size_(size), path_(std::move(path)) {}

ExistingFile::ExistingFile(ExistingFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(other.size_), path_(std::move(other.path_)) {}

ExistingFile::~ExistingFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result<std::size_t> ExistingFile::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return systemError("cannot read " + path_);
  }
}

Result<ExistingFile> Placement::OpenExisting(const EntryPath& entry) {
  const std::string path = state_->root + entry.joined();
  if (entry.isFolder()) return Error{path + " names a folder, not a file"};
  Result<std::optional<Folder>> folder = state_->walk(entry.folders, false);
  if (!folder) return folder.error();
  const Item* item = folder->has_value() ? findItem(state_->listingOf(**folder), entry.name) : nullptr;
  if (item == nullptr) return Error{ErrorKind::Missing, "there is no file at " + path};
  if (item->kind != ItemKind::File) return Error{ErrorKind::Unsafe, path + " is not a plain file; it is not read"};
  // O_NOFOLLOW: a link swapped in after the listing was read is refused here;
  // O_NONBLOCK: so is a FIFO, by the check below, without waiting for a writer.
  UniqueFd fd(::openat((*folder)->fd.get(), item->name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) return systemError("cannot open " + path);
  if (!S_ISREG(st.st_mode)) return Error{ErrorKind::Unsafe, path + " is not a plain file; it is not read"};
  return ExistingFile(fd.release(), static_cast<std::uint64_t>(st.st_size), state_->pathOf(**folder, item->name));
}

bool Placement::Exists(const EntryPath& entry) {
  auto [parents, name] = parentAndName(entry);
  if (name.empty()) return true;  // the root itself
  Result<std::optional<Folder>> folder = state_->walk(parents, false);
  if (!folder || !folder->has_value()) return false;
  return findItem(state_->listingOf(**folder), name) != nullptr;
}

bool Placement::FileExists(const EntryPath& entry) {
  if (entry.isFolder()) return false;
  Result<std::optional<Folder>> folder = state_->walk(entry.folders, false);
  if (!folder || !folder->has_value()) return false;
  const Listing& listing = state_->listingOf(**folder);
  auto twins = listing.find(lowerAsciiCopy(entry.name));
  return twins != listing.end() && std::any_of(twins->second.begin(), twins->second.end(),
                                               [](const Item& item) { return item.kind != ItemKind::Folder; });
}

std::optional<std::string> Placement::FolderSpelling(const EntryPath& folder) {
  if (!folder.isFolder() || folder.folders.empty()) return std::nullopt;
  Result<std::optional<Folder>> walked = state_->walk(folder.folders, false);
  if (!walked || !walked->has_value()) return std::nullopt;
  std::string key = (*walked)->key;
  key.pop_back();  // the trailing separator of every key below the root
  return key;
}

Result<Placement> Placement::OpenFolder(const EntryPath& folder) {
  if (!folder.isFolder()) return Error{state_->root + folder.joined() + " names a file, not a folder"};
  Result<std::optional<Folder>> walked = state_->walk(folder.folders, true);
  if (!walked) return walked.error();
  auto state = std::make_unique<PlacementState>();
  state->root = state_->root + (*walked)->key;
  state->rootFd = std::move((*walked)->fd);
  state->recorder = state_->recorder;
  return Placement(std::move(state));
}

Status Placement::MakeFolders(const EntryPath& entry) {
  Result<std::optional<Folder>> folder = state_->walk(entry.folders, true);
  if (!folder) return folder.error();
  return {};
}

Result<PendingFile> Placement::Begin(const EntryPath& entry, bool overwrite) {
  if (entry.isFolder()) return Error{state_->root + entry.joined() + " names a folder, not a file"};
  if (InstallsStopped()) return Error{"cannot write " + state_->root + entry.joined() + ": " + kStopped};
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
  if (state_->recorder != nullptr)
    if (Status told = state_->recorder->BeforeWrite(target); !told) return told.error();
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    std::string temp = partName(state_->random);
    // Armed before the file exists: a name with this process's number can
    // belong to no other running process, so removing it early harms nothing.
    const int slot = armPart(folder.fd.get(), temp);
    const int fd = ::openat(folder.fd.get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            kFileMode);
    if (fd < 0) disarmPart(slot);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return systemError("cannot create a temporary file beside " + target);
    if (keptMode != 0) ::fchmod(fd, keptMode);
    return PendingFile(*state_, folder.fd.release(), fd, slot, folder.key, std::move(temp), std::move(name), target,
                       overwrite);
  }
  return Error{"cannot create a temporary file beside " + target + ": every name tried was taken"};
}

}  // namespace fdk
