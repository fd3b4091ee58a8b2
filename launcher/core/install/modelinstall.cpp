#include "core/install/modelinstall.h"

#include "core/content/models.h"
#include "core/install/placement.h"

namespace fdk {

namespace {

// The packs in the order of the pairs, a pack chosen several times in a row
// once: the walk both passes make.
std::vector<std::string> packsToRead(const std::vector<std::string>& lbq2smchm) {
  std::vector<std::string> packs;
  for (std::size_t i = 0; i < lbq2smchm.size(); ++i)
    if (i == 0 || lbq2smchm[i] != lbq2smchm[i - 1]) packs.push_back(lbq2smchm[i]);
  return packs;
}

// Hands each entry's bytes and the bytes inside a large entry on to the host.
class ToHost : public ExtractObserver {
 public:
  explicit ToHost(InstallHost& host) : host_(host) {}
  void EntryDone(const ArchiveRecord&, std::uint64_t bytes) override { host_.done(bytes); }
  void EntryProgress(const ArchiveRecord&, std::uint64_t bytesDone) override { host_.within(bytesDone); }

 private:
  InstallHost& host_;
};

void countPack(const GameSettings& q2, const std::string& pack, Tzipform& zip, InstallHost& host) {
  if (!zip.ListArchive(PackArchivePath(q2, pack))) return;
  for (const ArchiveRecord& record : zip.records()) host.counted(record.size);
}

void extractPack(const GameSettings& q2, const std::string& pack, Tzipform& zip, Placement& into, InstallHost& host,
                 Report& report) {
  if (Status listed = zip.ListArchive(PackArchivePath(q2, pack)); !listed)
    return report.skip(pack, "the model pack was not installed: " + listed.error().text);
  ToHost observer(host);
  report.merge(zip.ExtractArchive("*.*", into, true, false, &observer));
}

}  // namespace

Report InstallChosenModels(const GameSettings& quake2, const std::vector<std::string>& lbq2smchm, Tzipform& zip,
                           InstallHost& host) {
  Report report;
  if (lbq2smchm.empty()) return report;
  Result<Placement> into = Placement::Open(quake2.Path);
  if (!into) {
    report.skip(quake2.Path, "no model was installed: " + into.error().text);
    return report;
  }
  const std::vector<std::string> packs = packsToRead(lbq2smchm);
  host.begin(kModelsProgressTitle);
  for (const std::string& pack : packs) countPack(quake2, pack, zip, host);
  host.secondPass();
  for (const std::string& pack : packs) extractPack(quake2, pack, zip, *into, host, report);
  host.end();
  return report;
}

}  // namespace fdk
