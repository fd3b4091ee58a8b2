#include "core/install/modelinstall.h"

#include "core/content/models.h"
#include "core/install/hostprogress.h"
#include "core/placement/placement.h"

namespace fdk {

namespace {

void extractPack(const GameSettings& q2, const std::string& pack, Tzipform& zip, Placement& into, InstallHost& host,
                 Report& report) {
  if (Status listed = zip.ListArchive(PackArchivePath(q2, pack)); !listed)
    return report.skip(pack, "the model pack was not installed: " + listed.error().text);
  HostProgress observer(host);
  report.merge(zip.ExtractArchive("*.*", into, true, false, &observer));
}

}  // namespace

Report InstallChosenModels(const GameSettings& quake2, const std::vector<std::string>& lbq2smchm, Tzipform& zip,
                           InstallHost& host, ChangeRecorder* recorder) {
  Report report;
  if (lbq2smchm.empty()) return report;
  Result<Placement> into = Placement::Open(quake2.Path, recorder);
  if (!into) {
    report.skip(quake2.Path, "no model was installed: " + into.error().text);
    return report;
  }
  const std::vector<std::string> packs = PacksInChoosingOrder(lbq2smchm);
  host.begin(kModelsProgressTitle);
  for (const std::string& pack : packs) CountEntries(PackArchivePath(quake2, pack), zip, host);
  host.secondPass();
  for (const std::string& pack : packs) extractPack(quake2, pack, zip, *into, host, report);
  host.end();
  return report;
}

}  // namespace fdk
