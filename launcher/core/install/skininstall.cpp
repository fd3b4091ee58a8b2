#include "core/install/skininstall.h"

#include "core/install/hostprogress.h"
#include "core/placement/placement.h"
#include "core/platform/listing.h"

namespace fdk {

namespace {

// The archive of each selected skin, "" where the skin folder has none. Skin
// archives arrive as "RED.ZIP" as often as "red.zip".
std::vector<std::string> archivesOf(const GameSettings& quake, const std::vector<std::string>& selected) {
  std::vector<std::string> archives;
  for (const std::string& name : selected) archives.push_back(FindFileNoCase(quake.Skins, name + ".zip").value_or(""));
  return archives;
}

// "qw/skins/" of the Quake folder, made where missing and found in any letter
// case ("QW/Skins/" is the same folder), opened through the game folder's
// placement: a link or a file on the way refuses the install, and a real
// folder wins over a link twin.
Result<Placement> openSkinFolder(const GameSettings& quake, ChangeRecorder* recorder) {
  Result<Placement> game = Placement::Open(quake.Path, recorder);
  if (!game) return game.error();
  return game->OpenFolder(EntryPath{{"qw", "skins"}, ""});
}

// Every file entry straight into qw/skins/; a file already there in any letter
// case is kept, folder entries make nothing, unsafe names are reported.
void installArchive(const std::string& name, const std::string& archive, Tzipform& zip, Placement& into,
                    InstallHost& host, Report& report) {
  if (InstallsStopped()) return report.skip(name, "not installed: the program was asked to end");
  if (archive.empty()) return report.skip(name, "the skin archive " + name + ".zip is not in the skin folder");
  if (Status listed = zip.ListArchive(archive); !listed) return report.skip(name, listed.error().text);
  HostProgress progress(host);
  report.merge(zip.ExtractArchive("*.*", into, false, false, &progress));
}

}  // namespace

Report InstallChosenSkins(const GameSettings& quake, const std::vector<std::string>& selected, Tzipform& zip,
                          InstallHost& host, ChangeRecorder* recorder) {
  Report report;
  if (selected.empty()) {
    host.end();
    return report;
  }
  Result<Placement> into = openSkinFolder(quake, recorder);
  if (!into) {
    report.skip(quake.Path + "qw/skins/", "no skin was installed: " + into.error().text);
    host.end();
    return report;
  }
  const std::vector<std::string> archives = archivesOf(quake, selected);
  host.begin(kSkinsProgressTitle);
  for (const std::string& archive : archives) CountEntries(archive, zip, host);
  host.secondPass();
  for (std::size_t i = 0; i < selected.size(); ++i) installArchive(selected[i], archives[i], zip, *into, host, report);
  host.end();
  return report;
}

}  // namespace fdk
