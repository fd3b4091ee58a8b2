#include "core/install/skininstall.h"

#include "core/install/installrun.h"

namespace fdk {

// Every file of each selected archive straight into "qw/skins/" of the Quake
// folder, found in any letter case ("QW/Skins/" is the same folder) and made
// where missing: a link or a file on the way refuses the install, and a real
// folder wins over a link twin. A skin already there in any letter case is kept.
InstallOutcome InstallChosenSkins(const GameSettings& quake, const std::vector<std::string>& selected, Tzipform& zip,
                                  InstallHost& host, ChangeRecorder* recorder) {
  const InstallPlan plan = PlanFor(InstallKind::Skins, quake.Path, ArchivesInFolder(quake.Skins, selected, "skin"));
  return RunReportedInstall(plan, zip, host, recorder);
}

}  // namespace fdk
