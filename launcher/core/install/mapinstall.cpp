#include "core/install/mapinstall.h"

#include "base/files.h"
#include "core/install/hostprogress.h"
#include "core/placement/placement.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

// The archive of each chosen map, "" where there is none.
std::vector<std::string> archivesOf(const GameSettings& g, const std::vector<std::string>& chosen) {
  std::vector<std::string> archives;
  for (const std::string& name : chosen) archives.push_back(FindFileNoCase(g.Maps, name + ".zip").value_or(""));
  return archives;
}

void installOne(const std::string& name, const std::string& archive, Tzipform& zip, Placement& into, InstallHost& host,
                Report& report) {
  if (archive.empty()) return report.skip(name, "the map archive " + name + ".zip is not in the map folder");
  if (Status listed = zip.ListArchive(archive); !listed) return report.skip(name, listed.error().text);
  HostProgress progress(host);
  report.merge(zip.ExtractArchive("*.*", into, true, false, &progress));
}

}  // namespace

Report InstallChosenMaps(const GameSettings& g, const std::vector<std::string>& chosen, Tzipform& zip,
                         InstallHost& host, ChangeRecorder* recorder) {
  Report report;
  if (chosen.empty()) return report;
  Result<Placement> into = Placement::Open(g.Path, recorder);
  if (!into) {
    report.skip(g.Path, "no map was installed: " + into.error().text);
    return report;
  }
  const std::vector<std::string> archives = archivesOf(g, chosen);
  // The bar counts what the maps unpack to, not their archives' sizes: a
  // small archive can hold a large map, and the player waits for the writing.
  host.begin(kMapsProgressTitle);
  for (const std::string& archive : archives) CountEntries(archive, zip, host);
  host.secondPass();
  for (std::size_t i = 0; i < chosen.size(); ++i) installOne(chosen[i], archives[i], zip, *into, host, report);
  host.end();
  return report;
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
