#include "core/install/mapinstall.h"

#include "base/files.h"
#include "core/install/installrun.h"
#include "core/games/games.h"
#include "core/platform/util.h"

namespace fdk {

InstallOutcome InstallChosenMaps(const GameSettings& g, const std::vector<std::string>& chosen, Tzipform& zip,
                                 InstallHost& host, ChangeRecorder* recorder) {
  const InstallPlan plan = PlanFor(InstallKind::Maps, g.Path, ArchivesInFolder(g.Maps, chosen, "map"));
  return RunReportedInstall(plan, zip, host, recorder);
}

std::string MapsListText(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += name + " \"" + name + "\"\r\n";
  return text;
}

// The game reads the list from the folder it runs from: the MOD game folder,
// which a maps-only MOD does not have.
std::string MapsListPath(const Uvars& vars) {
  const bool mod = !vars.q2mod.empty() && IsPlainFolderName(vars.modGameFolder);
  return vars.q2.Path + (mod ? vars.modGameFolder + "/" : std::string(TraitsOf(Game::Quake2).baseFolder)) + "maps.lst";
}

Status WriteMapsList(const Uvars& vars, const std::vector<std::string>& names, ChangeRecorder* recorder) {
  const std::string path = MapsListPath(vars);
  return RecordedWrite(recorder, path, [&] { return writeFileAtomically(path, MapsListText(names)); });
}

}  // namespace fdk
