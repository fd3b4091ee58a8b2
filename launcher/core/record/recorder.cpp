#include "core/record/recorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/uniquefd.h"

namespace fdk {

namespace {

constexpr mode_t kPrivateFolder = 0700;
constexpr mode_t kPrivateFile = 0600;
constexpr std::size_t kCopyBuffer = 1 << 16;

Error systemError(const std::string& what) { return Error{what + ": " + std::strerror(errno)}; }

using Fd = UniqueFd;

// All of the bytes, or an error: a file write that stops short is a full disk.
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// The folder a path below the root lies in, opened one name at a time without
// following links; nothing when a folder on the way is missing.
Result<std::optional<Fd>> openParent(int rootFd, const std::string& root, const std::string& relative) {
  Fd at(::fcntl(rootFd, F_DUPFD_CLOEXEC, 0));
  if (at.get() < 0) return systemError("cannot open " + root);
  std::size_t start = 0;
  for (std::size_t slash; (slash = relative.find('/', start)) != std::string::npos; start = slash + 1) {
    const std::string name = relative.substr(start, slash - start);
    Fd next(::openat(at.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (next.get() < 0 && errno == ENOENT) return std::optional<Fd>();
    if (next.get() < 0 && (errno == ELOOP || errno == ENOTDIR))
      return Error{root + relative.substr(0, slash) + " is a symbolic link or a file where a folder must be"};
    if (next.get() < 0) return systemError("cannot open the folder " + root + relative.substr(0, slash));
    at = std::move(next);
  }
  return std::optional<Fd>(std::move(at));
}

std::string lastName(const std::string& relative) { return relative.substr(relative.rfind('/') + 1); }

Status copyBytes(int from, int to, const std::string& path) {
  std::vector<char> buffer(kCopyBuffer);
  for (;;) {
    const ssize_t n = ::read(from, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return systemError("cannot read " + path);
    if (n == 0) return {};
    if (!writeAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(n))))
      return systemError("cannot keep a copy of " + path);
  }
}

// A plain file's copy keeps its permissions and times; it is synced, because
// the file it stands for is replaced or removed right after.
Status copyFile(int parentFd, const std::string& name, int savedFd, const std::string& saved, const std::string& path,
                const struct stat& seen) {
  Fd from(::openat(parentFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (from.get() < 0 || ::fstat(from.get(), &st) != 0) return systemError("cannot read " + path);
  if (st.st_ino != seen.st_ino || !S_ISREG(st.st_mode)) return Error{path + " changed while it was being kept"};
  Fd to(::openat(savedFd, saved.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFile));
  if (to.get() < 0) return systemError("cannot keep a copy of " + path);
  if (Status copied = copyBytes(from.get(), to.get(), path); !copied) return copied;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  ::fchmod(to.get(), st.st_mode & 0777);
  ::futimens(to.get(), times);
  if (::fsync(to.get()) != 0) return systemError("cannot keep a copy of " + path);
  return {};
}

// A link is kept as a link with the same target, never followed.
Status copyLink(int parentFd, const std::string& name, int savedFd, const std::string& saved, const std::string& path,
                const struct stat& seen) {
  std::string target(static_cast<std::size_t>(seen.st_size) + 1, '\0');
  const ssize_t n = ::readlinkat(parentFd, name.c_str(), target.data(), target.size());
  if (n < 0) return systemError("cannot read the link " + path);
  if (static_cast<std::size_t>(n) >= target.size()) return Error{path + " changed while it was being kept"};
  target.resize(static_cast<std::size_t>(n));
  if (::symlinkat(target.c_str(), savedFd, saved.c_str()) != 0) return systemError("cannot keep a copy of " + path);
  return {};
}

struct Announced {
  RecordedChange::Kind kind;
  bool complete;
};

}  // namespace

struct LaunchRecorder::State {
  std::string root;  // with its trailing separator
  std::string id;
  std::string recordsFolder;
  std::string recordPath;
  Fd rootFd, recordsFd, recordFd, savedFd;
  std::string parentKey;  // the folder parentFd stands for, "a/b/" below the root
  Fd parentFd;
  int savedCount = 0;
  bool broken = false;
  std::unordered_map<std::string, Announced> announced;  // by path below the root: its last change

  Result<std::string> relativeOf(const std::string& path, bool folder) const;
  Result<int> parentOf(const std::string& relative);
  Status append(const std::string& line, bool sync);
  Result<std::string> keep(int parentFd, const std::string& name, const std::string& path, const struct stat& st);
  Status savedChange(RecordedChange::Kind kind, const std::string& relative);
  Status openSavedFolder();
};

Result<std::string> LaunchRecorder::State::relativeOf(const std::string& path, bool folder) const {
  std::string relative = path.starts_with(root) ? path.substr(root.size()) : std::string();
  if (folder && relative.ends_with('/')) relative.pop_back();
  if (!IsSafeRecordPath(relative))
    return Error{path + " is not below the game folder " + root + "; the launch does not change it"};
  return relative;
}

// The folder a path lies in, -1 when it is missing. It is kept open for the
// next path: an install writes the files of one folder one after another.
Result<int> LaunchRecorder::State::parentOf(const std::string& relative) {
  const std::string key = relative.substr(0, relative.rfind('/') + 1);
  if (parentFd.get() >= 0 && key == parentKey) return parentFd.get();
  Result<std::optional<Fd>> opened = openParent(rootFd.get(), root, relative);
  if (!opened) return opened.error();
  if (!opened->has_value()) return -1;
  parentFd = std::move(**opened);
  parentKey = key;
  return parentFd.get();
}

// One write of one whole line. After a failure the record may end in a cut
// line, which reads as never begun; anything appended to it would join it
// into a damaged one, so nothing more is.
Status LaunchRecorder::State::append(const std::string& line, bool sync) {
  if (broken) return Error{"the launch record " + recordPath + " could not be written to before"};
  if (!writeAll(recordFd.get(), line) || (sync && ::fsync(recordFd.get()) != 0)) {
    broken = true;
    return systemError("cannot write the launch record " + recordPath);
  }
  return {};
}

Status LaunchRecorder::State::openSavedFolder() {
  if (savedFd.get() >= 0) return {};
  const std::string name = id + ".saved";
  if (::mkdirat(recordsFd.get(), name.c_str(), kPrivateFolder) != 0 && errno != EEXIST)
    return systemError("cannot make the folder " + recordsFolder + name);
  savedFd = Fd(::openat(recordsFd.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (savedFd.get() < 0) return systemError("cannot open the folder " + recordsFolder + name);
  return {};
}

// Keeps what is at the path in the saved folder under the next number.
Result<std::string> LaunchRecorder::State::keep(int parentFd, const std::string& name, const std::string& path,
                                                const struct stat& st) {
  if (Status opened = openSavedFolder(); !opened) return opened.error();
  std::string saved = std::to_string(++savedCount);
  Status kept = S_ISLNK(st.st_mode) ? copyLink(parentFd, name, savedFd.get(), saved, path, st)
                                    : copyFile(parentFd, name, savedFd.get(), saved, path, st);
  if (!kept) {
    ::unlinkat(savedFd.get(), saved.c_str(), 0);
    return kept.error();
  }
  // The copy's name must last before the line that names it does.
  if (::fsync(savedFd.get()) != 0) return systemError("cannot keep a copy of " + path);
  return saved;
}

// A file there is kept, then announced as replaced or removed; nothing there
// is a new file (or, for a removal, nothing to record).
Status LaunchRecorder::State::savedChange(RecordedChange::Kind kind, const std::string& relative) {
  const std::string path = root + relative;
  Result<int> parent = parentOf(relative);
  if (!parent) return parent.error();
  const std::string name = lastName(relative);
  struct stat st {};
  const bool there = *parent >= 0 && ::fstatat(*parent, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!there && *parent >= 0 && errno != ENOENT) return systemError("cannot look at " + path);
  RecordedChange change{kind, relative, "", {}, std::nullopt};
  if (!there) {
    if (kind == RecordedChange::Kind::Remove) return {};
    change.kind = RecordedChange::Kind::File;
    if (Status written = append(FormatChangeLine(change), false); !written) return written;
    announced[relative] = Announced{change.kind, false};
    return {};
  }
  if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
    return Error{path + " is neither a file nor a link; the launch does not replace or remove it"};
  Result<std::string> saved = keep(*parent, name, path, st);
  if (!saved) return saved.error();
  change.saved = *saved;
  change.before = StampOf(st);
  // Synced: the file is gone or replaced next, and only this line says where its content went.
  if (Status written = append(FormatChangeLine(change), true); !written) return written;
  announced[relative] = Announced{kind, false};
  return {};
}

std::string RecordsFolder(const std::string& stateFolder) {
  return stateFolder + (stateFolder.empty() || stateFolder.back() == '/' ? "" : "/") + "records/";
}

std::string RecordId(char game, std::int64_t seconds, std::int64_t nanoseconds, pid_t pid) {
  char id[64];
  std::snprintf(id, sizeof id, "%c-%020lld.%09lld-%lld", game, static_cast<long long>(seconds),
                static_cast<long long>(nanoseconds), static_cast<long long>(pid));
  return id;
}

LaunchRecorder::LaunchRecorder(std::unique_ptr<State> state) : state_(std::move(state)) {}
LaunchRecorder::LaunchRecorder(LaunchRecorder&&) noexcept = default;
LaunchRecorder& LaunchRecorder::operator=(LaunchRecorder&&) noexcept = default;
LaunchRecorder::~LaunchRecorder() = default;

const std::string& LaunchRecorder::path() const { return state_->recordPath; }

namespace {

Result<Fd> openRecordsFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), kPrivateFolder) != 0 && errno != EEXIST)
    return systemError("cannot make the records folder " + folder);
  Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return systemError("cannot open the records folder " + folder);
  return fd;
}

// The record is written whole and locked under a name of its own, then
// renamed: under its real name it is never without its header or its lock.
Result<Fd> writeLockedRecord(int recordsFd, const std::string& id, const std::string& header, const std::string& path) {
  const std::string temp = id + ".new";
  Fd fd(::openat(recordsFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, kPrivateFile));
  if (fd.get() < 0) return systemError("cannot create the launch record " + path);
  const bool written = ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 && writeAll(fd.get(), header) &&
                       ::fsync(fd.get()) == 0 &&
                       ::renameat2(recordsFd, temp.c_str(), recordsFd, (id + ".record").c_str(), RENAME_NOREPLACE) == 0;
  if (!written) {
    Error error = systemError("cannot create the launch record " + path);
    ::unlinkat(recordsFd, temp.c_str(), 0);
    return error;
  }
  ::fsync(recordsFd);
  return fd;
}

}  // namespace

Result<LaunchRecorder> LaunchRecorder::Create(const std::string& stateFolder, char game,
                                              const std::string& gameFolder) {
  auto state = std::make_unique<State>();
  state->root = gameFolder.ends_with('/') ? gameFolder : gameFolder + "/";
  state->rootFd = Fd(::open(state->root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  struct stat rootStat {};
  if (state->rootFd.get() < 0 || ::fstat(state->rootFd.get(), &rootStat) != 0)
    return systemError("cannot open the game folder " + state->root);
  const std::string folder = RecordsFolder(stateFolder);
  state->recordsFolder = folder;
  Result<Fd> records = openRecordsFolder(folder);
  if (!records) return records.error();
  state->recordsFd = std::move(*records);

  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  state->id = RecordId(game, now.tv_sec, now.tv_nsec, ::getpid());
  state->recordPath = folder + state->id + ".record";
  LaunchRecord header;
  header.game = game;
  header.root = state->root;
  header.rootDevice = rootStat.st_dev;
  header.rootInode = rootStat.st_ino;
  Result<Fd> record = writeLockedRecord(state->recordsFd.get(), state->id, FormatRecordHeader(header),
                                        state->recordPath);
  if (!record) return record.error();
  state->recordFd = std::move(*record);
  return LaunchRecorder(std::move(state));
}

Status LaunchRecorder::BeforeFolder(const std::string& path) {
  Result<std::string> relative = state_->relativeOf(path, true);
  if (!relative) return relative.error();
  return state_->append(FormatChangeLine(RecordedChange{RecordedChange::Kind::Folder, *relative, "", {}, {}}), false);
}

Status LaunchRecorder::BeforeWrite(const std::string& path) {
  Result<std::string> relative = state_->relativeOf(path, false);
  if (!relative) return relative.error();
  return state_->savedChange(RecordedChange::Kind::Replace, *relative);
}

Status LaunchRecorder::BeforeRemove(const std::string& path) {
  Result<std::string> relative = state_->relativeOf(path, false);
  if (!relative) return relative.error();
  return state_->savedChange(RecordedChange::Kind::Remove, *relative);
}

Status LaunchRecorder::AfterWrite(const std::string& path) {
  Result<std::string> relative = state_->relativeOf(path, false);
  if (!relative) return relative.error();
  auto it = state_->announced.find(*relative);
  if (it == state_->announced.end() || it->second.complete || it->second.kind == RecordedChange::Kind::Remove)
    return Error{path + " was written without being announced in the launch record"};
  Result<int> parent = state_->parentOf(*relative);
  if (!parent) return parent.error();
  struct stat st {};
  if (*parent < 0) return Error{"cannot look at " + path + ": its folder is gone"};
  if (::fstatat(*parent, lastName(*relative).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
    return systemError("cannot look at " + path);
  RecordedChange change{it->second.kind, *relative, "", {}, StampOf(st)};
  if (Status written = state_->append(FormatAfterLine(change), false); !written) return written;
  it->second.complete = true;
  return {};
}

Status LaunchRecorder::GameStarted(const ProcessIdentity& game) {
  return state_->append(FormatStartedLine(game), false);
}

}  // namespace fdk
