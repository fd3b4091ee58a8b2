#include "term/core/termrun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <ostream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/files.h"
#include "core/install/snapshot.h"
#include "core/platform/paths.h"
#include "core/store/settings.h"
#include "term/core/plan.h"

namespace fdk {

Result<TermOptions> ParseTermArguments(const std::vector<std::string>& args) {
  TermOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--dry-run") {
      options.dryRun = true;
    } else if (arg == "--appear-timeout-ms" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      char* end = nullptr;
      const long ms = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || ms < 0) return Error("not a number of milliseconds: " + value);
      options.wait.appear = std::chrono::milliseconds(ms);
    } else if ((arg == "1" || arg == "2") && options.game == '0') {
      options.game = arg.front();
    } else {
      return Error("unexpected argument: " + arg);
    }
  }
  if (options.game == '0') return Error("which game: 1 (Quake) or 2 (Quake 2)");
  return options;
}

std::string JournalName(char game) { return std::string("term") + game + ".journal"; }

std::string DescribeSummary(const TermSummary& s) {
  if (!s.note.empty()) return s.note;
  std::string text = "removed " + std::to_string(s.removedFiles) + " files and " + std::to_string(s.removedFolders) +
                     " folders, kept " + std::to_string(s.keptChanged) + " changed files";
  if (s.keptFolders != 0) text += ", kept " + std::to_string(s.keptFolders) + " folders that are not empty";
  if (s.leftAlone != 0) text += ", left " + std::to_string(s.leftAlone) + " entries alone (unsafe, links, or not removable)";
  if (!s.gameSeen) text += "; the game was not seen running";
  return text;
}

namespace {

struct Context {
  std::string programFolder;
  Uvars vars;
  std::string root;  // the game folder as the snapshot names it
  InstallSnapshot before;
  timespec listWritten{};

  const GameSettings& game(char which) const { return vars.game(which == '1' ? Game::Quake1 : Game::Quake2); }
  char which = '0';
  std::string journalPath() const { return programFolder + JournalName(which); }
};

// Reads the settings through the launcher's own loader, but from a private
// copy: loading tidies the folder it loads from (it removes what it takes for
// the temporary files of an interrupted save), and the launcher is saving its
// settings in the program folder at the very moment the tool starts. A missing file is
// an error rather than one made up with defaults.
Status loadSettingsCopy(const std::string& programFolder, Uvars& vars) {
  vars.programFolder = programFolder;
  const std::string ini = vars.iniPath();
  if (!entryExists(ini)) return Error("No Fragdock.ini in " + programFolder);
  Result<std::string> bytes = readWholeFile(ini, 16u << 20);
  if (!bytes) return bytes.error();
  std::error_code ec;
  std::string pattern = (std::filesystem::temp_directory_path(ec) / "fragdock-term-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return Error("Cannot make a temporary folder to read " + ini);
  vars.programFolder = withTrailingSep(pattern);
  Status loaded = writeFileAtomically(vars.iniPath(), *bytes);
  if (loaded) loaded = LoadSettings(vars, DefaultRoots{homeFolder()});
  std::filesystem::remove_all(pattern, ec);
  vars.programFolder = programFolder;
  return loaded;
}

Status loadContext(char which, Context& ctx) {
  if (Status loaded = loadSettingsCopy(ctx.programFolder, ctx.vars); !loaded) return loaded;
  const GameSettings& game = ctx.game(which);
  if (game.Path.empty()) return Error("No game folder set for game " + std::string(1, which) + " in " + ctx.vars.iniPath());
  ctx.root = SnapshotRoot(game.Path);
  Result<InstallSnapshot> lists = ReadSnapshotFiles(ctx.programFolder);
  if (!lists) return lists.error();
  ctx.before = std::move(*lists);
  struct stat info {};
  if (::stat((ctx.programFolder + "list.f").c_str(), &info) != 0) return Error("Cannot read the time of list.f");
  ctx.listWritten = info.st_mtim;
  // Lists of another folder would make every file of this one look installed.
  if (!ctx.before.lbv.empty() && ctx.before.lbv.front() != ctx.root)
    return Error("The install snapshot is of " + ctx.before.lbv.front() + ", not of the game folder " + ctx.root);
  return {};
}

void appendLog(const std::string& programFolder, char game, const std::string& text) {
  char when[32] = "";
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) != nullptr) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  const std::string line = std::string(when) + " term " + game + ": " + text + "\n";
  const int fd = ::open((programFolder + kLogName).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  // One write per line, so runs that overlap never mix their lines.
  [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
}

void tally(Removal result, bool file, TermSummary& s) {
  switch (result) {
    case Removal::Removed: ++(file ? s.removedFiles : s.removedFolders); break;
    case Removal::Changed: ++s.keptChanged; break;
    case Removal::NotEmpty: ++s.keptFolders; break;
    case Removal::Missing: break;
    case Removal::Refused:
    case Removal::Failed: ++s.leftAlone; break;
  }
}

std::size_t depth(const std::string& path) { return static_cast<std::size_t>(std::count(path.begin(), path.end(), '/')); }

// Folders deepest first, so a folder's sub-folders are gone before it is tried.
std::vector<JournalFolder> deepestFirst(std::vector<JournalFolder> folders) {
  std::sort(folders.begin(), folders.end(), [](const JournalFolder& a, const JournalFolder& b) {
    return depth(a.path) != depth(b.path) ? depth(a.path) > depth(b.path) : a.path > b.path;
  });
  return folders;
}

// Removes what a journal recorded. What the snapshot lists stays, unless the
// journal carried it from an interrupted run.
void carryOut(const GameFolder& folder, const Journal& journal, const SnapshotSets* listed, TermSummary& s) {
  for (const JournalFile& f : journal.files) {
    if (!f.carried && listed != nullptr && listed->files.count(journal.root + f.path) != 0) {
      ++s.leftAlone;
      continue;
    }
    tally(folder.RemoveFileIfUnchanged(f.path, f.stamp), true, s);
  }
  for (const JournalFolder& f : deepestFirst(journal.folders)) {
    if (!f.carried && listed != nullptr && listed->folders.count(journal.root + f.path + "/") != 0) {
      ++s.leftAlone;
      continue;
    }
    tally(folder.RemoveFolderIfEmpty(f.path), false, s);
  }
}

// An earlier run's journal, if one is left. One that cannot be read is set
// aside (never acted on, never lost) so that later runs are not blocked by it.
std::optional<Journal> readLeftJournal(const Context& ctx, char game) {
  const std::string path = ctx.journalPath();
  if (!entryExists(path)) return std::nullopt;
  Result<std::string> text = readWholeFile(path, 64u << 20);
  Result<Journal> journal = text ? ParseJournal(*text) : Result<Journal>(text.error());
  if (journal) return std::move(*journal);
  std::rename(path.c_str(), (path + ".bad").c_str());
  appendLog(ctx.programFolder, game, "set aside an unreadable journal as " + path + ".bad: " + journal.error().text);
  return std::nullopt;
}

// A left journal of a folder that is not the game folder now (the setting was
// changed since): acting on it would touch a folder that is no game's.
void setAside(const Context& ctx, const Journal& old, char game) {
  const std::string path = ctx.journalPath();
  std::rename(path.c_str(), (path + ".bad").c_str());
  appendLog(ctx.programFolder, game, "set aside a journal of " + old.root + ", which is not the game folder now");
}

int fail(const std::string& programFolder, char game, const Error& error, std::ostream& err) {
  const std::string text = error.detail.empty() ? error.text : error.text + " (" + error.detail + ")";
  err << "term: " << text << '\n';
  appendLog(programFolder, game, "error: " + text);
  return 1;
}

int finish(const Context& ctx, char game, const TermSummary& s) {
  appendLog(ctx.programFolder, game, DescribeSummary(s));
  return 0;
}

// Runs that overlap (the player starts the launcher and a game again while the
// first game still runs) take turns on the journal: the later run takes it
// over, and the earlier one, finding it taken, leaves everything to it.
class JournalLock {
 public:
  explicit JournalLock(const std::string& programFolder)
      : fd_(::open((programFolder + "term.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~JournalLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  JournalLock(const JournalLock&) = delete;
  JournalLock& operator=(const JournalLock&) = delete;

 private:
  int fd_;
};

std::string newOwner() {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return std::to_string(::getpid()) + "-" + std::to_string(now.tv_sec) + "." + std::to_string(now.tv_nsec);
}

bool stillOwner(const Context& ctx, const std::string& owner) {
  Result<std::string> text = readWholeFile(ctx.journalPath(), 64u << 20);
  Result<Journal> journal = text ? ParseJournal(*text) : Result<Journal>(text.error());
  return journal && journal->owner == owner;
}

enum class Prepared { Recorded, NothingToDo, Failed };

// Under the lock: finishes or joins a left journal, plans this launch's
// entries and records both, before anything is removed, so that a run killed
// from here on is finished by the next one.
Prepared prepare(const Context& ctx, char game, Journal& plan, Journal& removeNow, TermSummary& summary,
                 std::ostream& err) {
  std::optional<Journal> left = readLeftJournal(ctx, game);
  if (left && left->root != ctx.root) {
    setAside(ctx, *left, game);
    left.reset();
  }
  if (ctx.before.lbv.empty() && !left) {
    summary.note = "no install snapshot in list.v and list.f; nothing to remove";
    return Prepared::NothingToDo;
  }
  Result<GameFolder> folder = GameFolder::Open(ctx.root);
  if (!folder) {
    fail(ctx.programFolder, game, folder.error(), err);
    return Prepared::Failed;
  }
  const SnapshotSets listed(ctx.before);
  if (ctx.before.lbv.empty()) {
    plan = *left;  // without a snapshot nothing tells what the game needs now: all of it waits for the game's end
  } else {
    plan = PlanInstalled(*folder, ctx.root, TakeSnapshot(ctx.game(game).Path), listed, ctx.listWritten);
    if (left) JoinInterrupted(*left, listed, plan, removeNow);
  }
  plan.game = game;
  plan.root = ctx.root;
  plan.owner = newOwner();
  if (left) summary.leftAlone += left->refused;
  if (plan.empty() && removeNow.empty()) {
    removeFile(ctx.journalPath());
    summary.note = "nothing was installed by this launch";
    return Prepared::NothingToDo;
  }
  Journal recorded = plan;
  recorded.files.insert(recorded.files.end(), removeNow.files.begin(), removeNow.files.end());
  recorded.folders.insert(recorded.folders.end(), removeNow.folders.begin(), removeNow.folders.end());
  if (Status wrote = writeFileAtomically(ctx.journalPath(), FormatJournal(recorded)); !wrote) {
    fail(ctx.programFolder, game, Error("Cannot write the journal; nothing removed", wrote.error().text), err);
    return Prepared::Failed;
  }
  carryOut(*folder, removeNow, &listed, summary);
  return Prepared::Recorded;
}

int dryRun(const Context& ctx, char game, std::ostream& out, std::ostream& err) {
  Result<GameFolder> folder = GameFolder::Open(ctx.root);
  if (!folder) return fail(ctx.programFolder, game, folder.error(), err);
  const Journal plan = ctx.before.lbv.empty() ? Journal{}
      : PlanInstalled(*folder, ctx.root, TakeSnapshot(ctx.game(game).Path), SnapshotSets(ctx.before), ctx.listWritten);
  for (const JournalFile& f : plan.files) out << ctx.root << f.path << '\n';
  for (const JournalFolder& f : deepestFirst(plan.folders)) out << ctx.root << f.path << "/\n";
  TermSummary summary;
  summary.note = "dry run: would remove " + std::to_string(plan.files.size()) + " files and " +
                 std::to_string(plan.folders.size()) + " folders";
  return finish(ctx, game, summary);
}

}  // namespace

int RunTerm(const TermOptions& options, const std::string& programFolder, std::ostream& out, std::ostream& err) {
  Context ctx;
  ctx.programFolder = withTrailingSep(programFolder);
  const char game = options.game;
  ctx.which = game;
  if (Status loaded = loadContext(game, ctx); !loaded) return fail(ctx.programFolder, game, loaded.error(), err);
  if (options.dryRun) return dryRun(ctx, game, out, err);

  TermSummary summary;
  Journal plan, removeNow;
  {
    JournalLock lock(ctx.programFolder);
    switch (prepare(ctx, game, plan, removeNow, summary, err)) {
      case Prepared::Failed: return 1;
      case Prepared::NothingToDo: return finish(ctx, game, summary);
      case Prepared::Recorded: break;
    }
  }
  summary.gameSeen = WaitForGame(GameExecutable(ctx.game(game)), options.wait) == GameWait::Ended;

  JournalLock lock(ctx.programFolder);
  if (!stillOwner(ctx, plan.owner)) {
    summary.note = "a later run took the journal over; nothing removed here";
    return finish(ctx, game, summary);
  }
  Result<GameFolder> folder = GameFolder::Open(ctx.root);
  if (!folder) return fail(ctx.programFolder, game, folder.error(), err);
  const SnapshotSets listed(ctx.before);
  carryOut(*folder, plan, &listed, summary);
  removeFile(ctx.journalPath());
  return finish(ctx, game, summary);
}

}  // namespace fdk
