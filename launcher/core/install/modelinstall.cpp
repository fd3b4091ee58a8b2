#include "core/install/modelinstall.h"

#include "core/content/models.h"
#include "core/install/installrun.h"

namespace fdk {

namespace {

// A pack chosen several times in a row comes once.
std::vector<PlannedArchive> packArchives(const GameSettings& quake2, const std::vector<ModelSkin>& chosen) {
  std::vector<PlannedArchive> archives;
  for (const std::string& pack : PacksInChoosingOrder(chosen))
    archives.push_back(PlannedArchive{pack, PackArchivePath(quake2, pack), ""});
  return archives;
}

}  // namespace

InstallOutcome InstallChosenModels(const GameSettings& quake2, const std::vector<ModelSkin>& chosen, Tzipform& zip,
                                   InstallHost& host, ChangeRecorder* recorder) {
  const InstallPlan plan = PlanFor(InstallKind::Models, quake2.Path, packArchives(quake2, chosen));
  return RunReportedInstall(plan, zip, host, recorder);
}

}  // namespace fdk
