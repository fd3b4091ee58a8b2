#include "core/content/maps.h"

#include <algorithm>
#include <filesystem>
#include <stdlib.h>

#include "base/files.h"
#include "base/text.h"
#include "core/placement/placement.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"

namespace fdk {

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMaxDescriptionBytes = 1u << 20;

std::vector<std::string> namesOf(const std::string& folder, const char* pattern) {
  std::vector<std::string> names;
  for (const std::string& file : ListFolder(folder, pattern, {EntryKind::Files, false}))
    if (file.size() > 4) names.push_back(withoutLastFour(file));
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
  return names;
}

// The last entry whose upper-cased name ends in NAME + ".TXT".
std::optional<std::size_t> descriptionEntry(const Tzipform& zip, const std::string& upperName) {
  const std::string wanted = upperName + ".TXT";
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < zip.size(); ++i)
    if (endsWithNoCase(UpperCaseUmlaut(zip.entryName(i)), wanted)) found = i;
  return found;
}

// Extracts one entry flat into a fresh private folder and reads it back.
std::optional<std::string> readEntryText(Tzipform& zip, std::size_t index, const std::string& workFolder) {
  std::string temp = workFolder + ".mapdesc.XXXXXX";
  if (::mkdtemp(temp.data()) == nullptr) return std::nullopt;
  std::optional<std::string> text;
  if (Result<Placement> into = Placement::Open(temp)) {
    if (zip.ExtractEntry(index, *into, false, false).empty()) {
      Result<std::string> bytes = readWholeFile(temp + "/" + fileNamePartAnySeparator(zip.entryName(index)),
                                                kMaxDescriptionBytes);
      if (bytes) text = *bytes;
    }
  }
  std::error_code ec;
  fs::remove_all(temp, ec);
  return text;
}

}  // namespace

std::vector<std::string> AvailableMaps(const GameSettings& g) { return namesOf(g.Maps, "*.zip"); }

std::optional<std::string> MapsFolder(const GameSettings& g, Game game) {
  std::optional<std::string> baseFolder = BaseFolderOnDisk(g.Path, game);
  if (!baseFolder) return std::nullopt;
  return FindFolderNoCase(*baseFolder, "maps");
}

std::vector<std::string> InstalledMaps(const GameSettings& g, Game game) {
  std::optional<std::string> folder = MapsFolder(g, game);
  return folder ? namesOf(*folder, "*.bsp") : std::vector<std::string>{};
}

void MoveMaps(std::vector<std::string>& from, std::vector<std::string>& to, const std::vector<std::size_t>& selected) {
  std::vector<bool> chosen(from.size(), false);
  for (std::size_t i : selected)
    if (i < from.size()) chosen[i] = true;
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < from.size(); ++i) (chosen[i] ? to : kept).push_back(from[i]);
  from = std::move(kept);
  std::stable_sort(to.begin(), to.end(), [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
}

std::string MapDescription(const GameSettings& g, const std::string& name, Tzipform& zip,
                           const std::string& workFolder) {
  const std::string upper = UpperCaseUmlaut(name);
  const std::string none = "no " + upper + ".txt file in ZIP";
  std::optional<std::string> archive = FindFileNoCase(g.Maps, name + ".zip");
  if (!archive || !zip.ListArchive(*archive)) return none;
  const std::optional<std::size_t> entry = descriptionEntry(zip, upper);
  if (!entry) return none;
  // A description that cannot be extracted or read leaves the box empty.
  return readEntryText(zip, *entry, workFolder).value_or(std::string());
}

std::vector<std::string> InstalledMapFiles(const GameSettings& g, Game game, const std::vector<std::string>& names) {
  std::vector<std::string> files;
  std::optional<std::string> folder = MapsFolder(g, game);
  if (!folder) return files;
  for (const std::string& name : names) files.push_back(*folder + name + ".bsp");
  return files;
}

}  // namespace fdk
