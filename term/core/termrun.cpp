#include "term/core/termrun.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <map>
#include <optional>
#include <ostream>
#include <thread>
#include <unordered_map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/gameprocess.h"
#include "core/platform/paths.h"
#include "fragdock/version.h"
#include "term/core/finish.h"
#include "term/core/records.h"

namespace fdk {

Result<TermOptions> ParseTermArguments(const std::vector<std::string>& args) {
  using Mode = TermOptions::Mode;
  TermOptions options;
  auto game = [&](const std::string& word, Mode mode) -> Result<TermOptions> {
    if (word != "1" && word != "2") return Error("which game: 1 (Quake) or 2 (Quake 2), not \"" + word + "\"");
    options.mode = mode;
    options.game = word.front();
    return options;
  };
  if (args.size() == 1 && args[0] == "--help") return options;
  if (args.size() == 1) return game(args[0], Mode::Game);
  if (args.size() == 2 && args[0] == "--dry-run") return game(args[1], Mode::DryRun);
  if (args.size() == 2 && args[0] == "--record" && !args[1].empty()) {
    options.mode = Mode::Record;
    options.record = args[1];
    return options;
  }
  return Error(args.empty() ? std::string("nothing to do") : "unexpected arguments starting at \"" + args[0] + "\"");
}

std::string TermUsage() {
  return "term " + std::string(kFragdockVersion) + "\n" +
         "usage: term --record PATH | term 1|2 | term --dry-run 1|2 | term --help | term --version\n"
         "\n"
         "Puts a game folder back as it was before a launch, once the launch's game has ended.\n"
         "A launch records every change it makes to the game folder in records/ of the\n"
         "state folder: the folder of this program when it is portable, or\n"
         "$XDG_STATE_HOME/fragdock/ (~/.local/state/fragdock/) when it is installed.\n"
         "term removes the files and folders\n"
         "the launch made and puts back the files it replaced or removed, as long as the\n"
         "game or the player has not changed them since; changed files stay, and the saved\n"
         "copy they would have replaced is kept in records/kept/. Launches of one game folder\n"
         "stack: the latest one is finished first. Nothing a record does not name is touched,\n"
         "no link is followed and nothing outside the game folder changes.\n"
         "\n"
         "  --record PATH   wait until the game of that launch record and every other game\n"
         "                  started into the same folder have ended, then finish it and\n"
         "                  what earlier launches of the folder left; the launcher starts\n"
         "                  term this way\n"
         "  1 | 2           finish what earlier launches of Quake (1) or Quake 2 (2) left,\n"
         "                  as far as no game of their folder runs; no waiting\n"
         "  --dry-run 1|2   print what \"term 1|2\" would do now, one line a step; change nothing\n"
         "  --help          this text\n"
         "  --version       the version\n"
         "\n"
         "Every run appends one line to term.log in the state folder. Exit codes: 0 done,\n"
         "1 failed (named on stderr and in term.log), 2 bad arguments.\n";
}

namespace {

void appendLog(const std::string& stateFolder, char game, const std::string& text) {
  char when[32] = "";
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) != nullptr) std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
  const std::string line = std::string(when) + " term " + game + ": " + text + "\n";
  const int fd = ::open((stateFolder + kLogName).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  // One write per line, so runs that overlap never mix their lines.
  [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
  ::close(fd);
}

std::string count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::string describe(const FinishTally& t, const std::vector<std::string>& setAside) {
  std::string text = "finished " + count(t.records, "record", "records") + ": removed " +
                     count(t.removedFiles, "file", "files") + " and " + count(t.removedFolders, "folder", "folders") +
                     ", put back " + count(t.putBack, "file", "files") + ", kept " +
                     count(t.keptChanged, "changed file", "changed files");
  if (t.keptFolders != 0) text += ", kept " + count(t.keptFolders, "folder", "folders") + " that are not empty";
  if (t.leftAlone != 0)
    text += ", left " + count(t.leftAlone, "link or other entry", "links or other entries") + " alone";
  if (!t.keptCopies.empty())
    text += ", kept " + count(t.keptCopies.size(), "saved copy", "saved copies") + " (" + joined(t.keptCopies) + ")";
  if (!setAside.empty())
    text += ", set aside " + count(setAside.size(), "record", "records") + " (" + joined(setAside) + ")";
  return text;
}

enum class Outcome {
  Finished,  // or gone, or set aside: no longer in the way
  Busy,      // held by a launch or a term, or its game runs
  Failed,    // a step failed that a later run may manage; the record stays
};

// The launcher's process number, the last part of a record's id.
pid_t launcherOf(const std::string& id) {
  const std::size_t dash = id.rfind('-');
  pid_t pid = -1;
  if (dash != std::string::npos) std::from_chars(id.data() + dash + 1, id.data() + id.size(), pid);
  return pid;
}

// One run over a records folder. Records of one game folder stack: one is
// finished only when no later record of that folder is left.
class Run {
 public:
  Run(const TermOptions& options, const std::string& stateFolder, std::string recordsFolder, std::ostream& out,
      std::ostream& err)
      : options_(options), stateFolder_(stateFolder), records_(std::move(recordsFolder)), err_(err) {
    if (options.mode == TermOptions::Mode::DryRun) dry_.emplace(DryRun{out, {}});
  }

  int record(const std::string& id);
  int game(char which);

 private:
  Outcome finishOther(const std::string& id);
  Outcome finishHeld(const std::string& id, const LaunchRecord& record);
  bool gameRuns(const std::string& id, const LaunchRecord& record);
  bool anyGameRuns(const std::vector<std::string>& ids);
  bool earlierGameRuns(const std::string& id, const std::string& folder);
  bool setAside(const std::string& id, const std::string& why);
  std::optional<std::string> folderOf(const std::string& id);
  std::map<std::string, std::vector<std::string>> byFolder(const std::vector<std::string>& ids);
  void sweep(const std::vector<std::string>& newestLast, char which);
  void pause() const { std::this_thread::sleep_for(options_.poll); }
  int done(char which, const std::string& note);

  const TermOptions& options_;
  std::string stateFolder_;
  RecordFolder records_;
  std::ostream& err_;
  std::optional<DryRun> dry_;
  FinishTally tally_;
  std::vector<std::string> setAside_;
  std::unordered_map<std::string, ProcessIdentity> running_;  // games seen running, by record id
  std::unordered_map<std::string, ProcessIdentity> games_;    // every record's game once read, by record id
};

bool Run::gameRuns(const std::string& id, const LaunchRecord& record) {
  if (!record.started) return false;
  if (!SessionRuns(*record.started)) {
    running_.erase(id);
    return false;
  }
  running_[id] = *record.started;
  return true;
}

// Whether the game of any of these records still runs. Records are read, not
// locked: the term that holds one may be waiting for that very game. A game,
// once named, is remembered, so a wait of hours does not read a record of a
// large MOD four times a second.
bool Run::anyGameRuns(const std::vector<std::string>& ids) {
  for (const std::string& id : ids) {
    if (const auto known = games_.find(id); known != games_.end()) {
      if (SessionRuns(known->second)) return true;
      continue;
    }
    Result<LaunchRecord> record = records_.Read(id);
    if (!record) continue;
    if (record->started) games_.emplace(id, *record->started);
    if (gameRuns(id, *record)) return true;
  }
  return false;
}

bool Run::earlierGameRuns(const std::string& id, const std::string& folder) {
  const std::vector<std::string> all = records_.List();
  const auto earlier = byFolder(std::vector<std::string>(all.begin(), std::lower_bound(all.begin(), all.end(), id)));
  const auto group = earlier.find(folder);
  return group != earlier.end() && anyGameRuns(group->second);
}

// False when the record could not be moved out of the way.
bool Run::setAside(const std::string& id, const std::string& why) {
  const std::string path = records_.recordPath(id);
  if (dry_) {
    dry_->out << "set aside " << path << ": " << why << '\n';
  } else if (Status moved = records_.SetAside(id); !moved) {
    tally_.problems.push_back(moved.error().text + ": " + moved.error().detail);
    return false;
  }
  setAside_.push_back(path + ".bad: " + why);
  return true;
}

// The game folder a record is of; a damaged one nobody holds is set aside.
std::optional<std::string> Run::folderOf(const std::string& id) {
  Result<LaunchRecord> header = records_.ReadHeader(id);
  if (header) return FolderKeyOf(*header);
  Result<RecordLock> lock = RecordLock::Take(records_.recordPath(id), false);
  if (!lock || !lock->taken()) return std::nullopt;
  // Read again under the lock: its launch may have been writing it.
  if (Result<LaunchRecord> again = records_.ReadHeader(id); again) return FolderKeyOf(*again);
  setAside(id, header.error().text);
  return std::nullopt;
}

std::map<std::string, std::vector<std::string>> Run::byFolder(const std::vector<std::string>& ids) {
  std::map<std::string, std::vector<std::string>> groups;
  for (const std::string& id : ids)
    if (std::optional<std::string> key = folderOf(id)) groups[*key].push_back(id);
  return groups;
}

// Finishes a record this run holds the lock of, unless its folder is gone or
// is another folder now: then it is set aside, for nothing it names is ours to touch.
Outcome Run::finishHeld(const std::string& id, const LaunchRecord& record) {
  struct stat now {};
  if (::stat(record.root.c_str(), &now) != 0 || !S_ISDIR(now.st_mode))
    return setAside(id, "its game folder " + record.root + " is gone") ? Outcome::Finished : Outcome::Failed;
  if (now.st_dev != record.rootDevice || now.st_ino != record.rootInode)
    return setAside(id, "its game folder " + record.root + " is another folder now") ? Outcome::Finished
                                                                                     : Outcome::Failed;
  Result<GameFolder> folder = GameFolder::Open(record.root);
  if (!folder) {
    tally_.problems.push_back(folder.error().text + ": " + folder.error().detail);
    return Outcome::Failed;
  }
  const FinishTally finished = FinishChanges(record, *folder,
                                             SavedCopies{records_.savedFolder(id), records_.keptFolder(), id + "-", launcherOf(id)},
                                             dry_ ? &*dry_ : nullptr);
  tally_.add(finished);
  if (!finished.complete) return Outcome::Failed;
  if (dry_) return Outcome::Finished;
  if (Status discarded = records_.Discard(id); !discarded) {
    tally_.problems.push_back(discarded.error().text + ": " + discarded.error().detail);
    if (entryExists(records_.recordPath(id))) return Outcome::Failed;
  }
  return Outcome::Finished;
}

// A record of another launch: finished here only when nobody holds it and its game has ended.
Outcome Run::finishOther(const std::string& id) {
  if (const auto seen = running_.find(id); seen != running_.end() && SessionRuns(seen->second)) return Outcome::Busy;
  Result<RecordLock> lock = RecordLock::Take(records_.recordPath(id), false);
  if (!lock) {
    tally_.problems.push_back(lock.error().text + ": " + lock.error().detail);
    return Outcome::Failed;
  }
  if (lock->state() == RecordLock::State::Gone) return Outcome::Finished;
  if (lock->state() == RecordLock::State::Busy) {
    if (dry_) dry_->out << "wait for " << records_.recordPath(id) << ": a launch or a term holds it\n";
    return Outcome::Busy;
  }
  Result<LaunchRecord> record = records_.Read(id);
  if (!record) return setAside(id, record.error().text) ? Outcome::Finished : Outcome::Failed;
  if (gameRuns(id, *record)) {
    if (dry_) dry_->out << "wait for " << records_.recordPath(id) << ": its game still runs\n";
    return Outcome::Busy;
  }
  return finishHeld(id, *record);
}

// Finishes a folder's records from the newest down to the first one that
// cannot be finished now (its own term will see to it and to those below).
// Nothing is finished while a game of the folder runs: a server started by
// one launch may load a map that a later launch's client brought.
void Run::sweep(const std::vector<std::string>& newestLast, char which) {
  if (anyGameRuns(newestLast)) {
    if (dry_) dry_->out << "wait: a game of " << folderOf(newestLast.back()).value_or("the folder") << " still runs\n";
    return;
  }
  for (auto it = newestLast.rbegin(); it != newestLast.rend(); ++it)
    if (it->front() != which || finishOther(*it) != Outcome::Finished) return;
}

int Run::done(char which, const std::string& note) {
  std::string text = (dry_ ? "dry run, would have " : "") + describe(tally_, setAside_);
  if (!note.empty()) text += "; " + note;
  for (const std::string& problem : tally_.problems) {
    err_ << "term: " << problem << '\n';
    text += "; error: " + problem;
  }
  appendLog(stateFolder_, which, text);
  return tally_.problems.empty() ? 0 : 1;
}

int Run::game(char which) {
  for (const auto& [folder, ids] : byFolder(records_.List()))
    if (std::any_of(ids.begin(), ids.end(), [&](const std::string& id) { return id.front() == which; }))
      sweep(ids, which);
  return done(which, "");
}

int Run::record(const std::string& id) {
  const char which = id.front();
  Result<RecordLock> lock = RecordLock::Take(records_.recordPath(id), true);
  if (!lock) tally_.problems.push_back(lock.error().text + ": " + lock.error().detail);
  if (!lock || !lock->taken()) return done(which, lock ? "the record was finished by another run" : "");
  Result<LaunchRecord> record = records_.Read(id);
  if (!record) {
    setAside(id, record.error().text);
    tally_.problems.push_back("the launch record " + records_.recordPath(id) + " cannot be read; nothing was undone");
    return done(which, "");
  }
  const std::string folder = FolderKeyOf(*record);
  // Every game of the folder must have ended, earlier launches' too: what this
  // launch brought may be in use by any of them.
  while (gameRuns(id, *record) || earlierGameRuns(id, folder)) pause();
  const std::string ended = record->started ? "the game ended" : "the game did not start";
  // Later launches of the same folder go first: their games may use what this one installed.
  for (;;) {
    const std::vector<std::string> all = records_.List();
    const auto later = byFolder(std::vector<std::string>(std::upper_bound(all.begin(), all.end(), id), all.end()));
    const auto group = later.find(folder);
    if (group == later.end()) break;
    const Outcome outcome = finishOther(group->second.back());
    if (outcome == Outcome::Failed) return done(which, ended + "; a later launch's record could not be finished");
    if (outcome == Outcome::Busy) pause();
  }
  if (finishHeld(id, *record) == Outcome::Failed) return done(which, ended);
  const std::vector<std::string> all = records_.List();
  const auto earlier = byFolder(std::vector<std::string>(all.begin(), std::lower_bound(all.begin(), all.end(), id)));
  if (const auto group = earlier.find(folder); group != earlier.end()) sweep(group->second, which);
  return done(which, ended);
}

std::string recordIdOf(const std::string& path) {
  std::string name = path.substr(path.rfind('/') + 1);
  constexpr std::string_view suffix = ".record";
  if (!name.ends_with(suffix)) return {};
  name.resize(name.size() - suffix.size());
  return IsRecordId(name) ? name : std::string();
}

}  // namespace

int RunTerm(const TermOptions& options, const std::string& stateFolder, std::ostream& out, std::ostream& err) {
  const std::string state = withTrailingSep(stateFolder);
  switch (options.mode) {
    case TermOptions::Mode::Help: out << TermUsage(); return 0;
    case TermOptions::Mode::Game:
    case TermOptions::Mode::DryRun: return Run(options, state, state + kRecordsFolder, out, err).game(options.game);
    case TermOptions::Mode::Record: break;
  }
  const std::string id = recordIdOf(options.record);
  if (id.empty()) {
    err << "term: " << options.record << " is not the name of a launch record\n";
    return 2;
  }
  const std::string folder = options.record.substr(0, options.record.rfind('/') + 1);
  return Run(options, state, folder.empty() ? "./" : folder, out, err).record(id);
}

}  // namespace fdk
