#include "core/install/modinstall.h"

#include "core/placement/entrypath.h"
#include "core/install/installrun.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

// Entries "MyMod/..." went into an existing "mymod/", and the game looks for
// the folder by its real name: the one the placement wrote into.
std::string spelledGameFolder(const Tzipform& zip, Placement& into) {
  const std::string folder = ModGameFolderOf(zip);
  return folder.empty() ? folder : into.FolderSpelling(EntryPath{{folder}, ""}).value_or(folder);
}

}  // namespace

std::string ModGameFolderOf(const Tzipform& zip) {
  std::string folder;
  for (std::size_t i = zip.size(); i-- > 0;) {
    Result<EntryPath> path = SafeEntryPath(zip.entryName(i));
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
  const PlannedArchive archive{mod, ModArchivePath(vars, game), ""};
  Result<InstallRun> run = RunInstall(PlanFor(InstallKind::Mod, vars.game(game).Path, {archive}), zip, host, recorder);
  if (!run) return explained("The MOD \"" + mod + "\" cannot be installed: ", run.error());
  result.leftOut = std::move(run->leftOut);
  result.kept = std::move(run->kept);
  // The catalogue still holds the MOD's listing: the run read no other archive.
  if (game == Game::Quake2) result.modGameFolder = spelledGameFolder(zip, *run->target);
  return result;
}

}  // namespace fdk
