#include "core/install/modinstall.h"

#include "core/placement/entrypath.h"
#include "core/install/hostprogress.h"
#include "core/placement/placement.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

// Hands the bytes written inside a large entry on to the host.
class WithinEntry : public ExtractObserver {
 public:
  explicit WithinEntry(InstallHost& host) : host_(host) {}
  void EntryDone(const ArchiveRecord&, std::uint64_t) override {}
  void EntryProgress(const ArchiveRecord&, std::uint64_t bytesDone) override { host_.within(bytesDone); }

 private:
  InstallHost& host_;
};

// The three answers of one run: the question is asked at most once.
enum class Answer { Ask, Yes, No };

// Whether an entry whose target exists goes on to the extraction (which leaves
// the existing file alone either way).
bool goOn(Answer& answer, InstallHost& host) {
  if (answer == Answer::Ask) answer = host.ask(kModConflictQuestion) ? Answer::Yes : Answer::No;
  return answer == Answer::Yes;
}

// Only a file in the way is a conflict: the folders of an earlier install, or
// of the game itself ("baseq2/"), are where a MOD's files belong, whether the
// archive lists them as entries or not.
bool fileInTheWay(const ArchiveRecord& record, Placement& into) {
  if (record.isFolder) return false;
  Result<EntryPath> path = SafeEntryPath(record.name);
  return path && into.FileExists(*path);
}

void extractEntries(Tzipform& zip, Placement& into, InstallHost& host, Report& leftOut) {
  WithinEntry observer(host);
  Answer answer = Answer::Ask;
  for (std::size_t i = 0; i < zip.size(); ++i) {
    if (InstallsStopped())
      return leftOut.skip(zip.zipn(i), "not extracted, nor what follows it: the program was asked to end");
    if (!fileInTheWay(zip.records()[i], into) || goOn(answer, host))
      leftOut.merge(zip.ExtractEntry(i, into, true, false, &observer));
    host.done(zip.ziprs(i));
  }
}

}  // namespace

std::string ModGameFolderOf(const Tzipform& zip) {
  std::string folder;
  for (std::size_t i = zip.size(); i-- > 0;) {
    Result<EntryPath> path = SafeEntryPath(zip.zipn(i));
    if (!path) continue;
    const std::string first = path->folders.empty() ? std::string() : path->folders.front();
    if (UpperCaseUmlaut(first) != "BASEQ2") folder = first;
  }
  return folder;
}

Result<ModInstall> InstallMod(const Uvars& vars, Game game, Tzipform& zip, InstallHost& host,
                              ChangeRecorder* recorder) {
  ModInstall result;
  const std::string& mod = ChosenMod(vars, game);
  if (mod.empty()) return result;
  result.ran = true;
  const std::string archive = ModArchivePath(vars, game);
  if (Status listed = zip.ListArchive(archive); !listed)
    return Error{"The MOD \"" + mod + "\" cannot be installed: " + listed.error().text};
  Result<Placement> into = Placement::Open(vars.game(game).Path, recorder);
  if (!into) return Error{"The MOD \"" + mod + "\" cannot be installed: " + into.error().text};
  // Weighed as a whole: entry by entry, a MOD could fill the disk half-way.
  if (Status room = zip.CheckRoomForAll(*into, true, false); !room)
    return Error{"The MOD \"" + mod + "\" cannot be installed: " + room.error().text};
  host.begin(kModProgressTitle);
  CountListedEntries(zip, host);
  host.secondPass();
  extractEntries(zip, *into, host, result.leftOut);
  host.end();
  if (game == Game::Quake2) {
    const std::string folder = ModGameFolderOf(zip);
    // Entries "MyMod/..." went into an existing "mymod/", and the game looks for
    // the folder by its real name: the one the placement wrote into.
    result.modGameFolder = folder.empty() ? folder : into->FolderSpelling(EntryPath{{folder}, ""}).value_or(folder);
  }
  return result;
}

}  // namespace fdk
