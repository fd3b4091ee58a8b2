#include "core/content/models.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>

#include <stdlib.h>
#include <unistd.h>

#include "base/pathsplit.h"
#include "base/text.h"
#include "core/placement/placement.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

constexpr std::string_view kIconSuffix = "_i.pcx";

// An icon names its skin: "_i.pcx" alone is none.
bool isIcon(const std::string& fileName) {
  return fileName.size() > kIconSuffix.size() && endsWithNoCase(fileName, kIconSuffix);
}

std::vector<std::string> withMarker(std::vector<std::string> items, const char* marker) {
  items.push_back(marker);
  SortForList(items);
  return items;
}

PreviewPicture firstPicture(const std::string& folder, const std::string& base, const char* const (&order)[3]) {
  for (const char* ext : order) {
    if (auto found = FindFileNoCase(folder, base + ext)) {
      const bool bitmap = equalsNoCase(ext, ".bmp");
      return {bitmap ? PreviewPicture::Kind::Bitmap : PreviewPicture::Kind::Convert, *found};
    }
  }
  return {};
}

}  // namespace

void SortForList(std::vector<std::string>& items) {
  std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
}

std::string PlayersFolder(const GameSettings& q2) {
  const std::string base = BaseFolderOnDisk(q2.Path, Game::Quake2).value_or(q2.Path + "baseq2/");
  return FindFolderNoCase(base, "players").value_or(base + "players/");
}

std::vector<std::string> AvailablePacks(const GameSettings& q2) {
  std::vector<std::string> items;
  for (const std::string& name : ListFolder(q2.Skins, "*.zip", {EntryKind::Files, true}))
    if (name.size() > 4) items.push_back(withoutLastFour(name));
  return withMarker(std::move(items), kNoneItem);
}

std::vector<std::string> InstalledModels(const GameSettings& q2) {
  std::vector<std::string> items;
  for (const std::string& name : ListFolder(PlayersFolder(q2), "*", {EntryKind::Folders, false}))
    if (name.find('.') == std::string::npos) items.push_back(name);
  SortForList(items);
  return items;
}

std::vector<std::string> IconSkinsOfPack(const Tzipform& zip) {
  std::vector<std::string> skins;
  for (const ArchiveRecord& record : zip.records()) {
    if (record.isFolder || record.isLink) continue;
    const std::string file = fileNamePartAnySeparator(record.name);
    if (isIcon(file)) skins.push_back(file.substr(0, file.size() - kIconSuffix.size()));
  }
  return skins;
}

// One listing of the folder answers every icon question.
std::vector<std::string> IconSkinsOfModel(const std::string& modelFolder) {
  const std::vector<std::string> pictures = ListFolder(modelFolder, "*.pcx", {EntryKind::Files, true});
  std::set<std::string> lower;
  for (const std::string& name : pictures) lower.insert(lowerAsciiCopy(name));
  std::vector<std::string> skins;
  for (const std::string& name : pictures) {
    const std::string base = withoutLastFour(name);
    if (lower.contains(lowerAsciiCopy(base + std::string(kIconSuffix)))) skins.push_back(base);
  }
  return skins;
}

std::vector<std::string> PackSkins(const Tzipform& zip) { return withMarker(IconSkinsOfPack(zip), kBackItem); }

std::vector<std::string> InstalledSkins(const std::string& modelFolder) {
  return withMarker(IconSkinsOfModel(modelFolder), kBackItem);
}

std::vector<std::string> SkinsOfPack(const Tzipform& zip) {
  std::vector<std::string> skins;
  for (const ArchiveRecord& record : zip.records()) {
    const std::string file = fileNamePartAnySeparator(record.name);
    if (record.isFolder || file.size() < 4) continue;
    const std::string base = withoutLastFour(file);
    if (zip.FindArchiveEntry(base + std::string(kIconSuffix))) skins.push_back(base);
  }
  return skins;
}

void AppendPair(std::vector<ModelSkin>& pairs, const std::string& pack, const std::string& skin) {
  pairs.push_back({pack, skin});
}

std::string PackArchivePath(const std::string& modelStore, const std::string& pack) {
  return FindFileNoCase(modelStore, pack + ".zip").value_or(modelStore + pack + ".zip");
}

Report AppendPackPairs(const GameSettings& q2, const std::vector<std::string>& packs, Tzipform& zip,
                       std::vector<ModelSkin>& pairs) {
  Report report;
  for (const std::string& pack : packs) {
    if (pack == kNoneItem) continue;
    if (Status listed = zip.ListArchive(PackArchivePath(q2, pack)); !listed) {
      report.skip(pack, listed.error().text);
      continue;
    }
    for (const std::string& skin : SkinsOfPack(zip)) AppendPair(pairs, pack, skin);
  }
  return report;
}

void RemovePairs(std::vector<ModelSkin>& pairs, const std::vector<std::string>& packs) {
  std::erase_if(pairs, [&](const ModelSkin& pair) { return std::find(packs.begin(), packs.end(), pair.model) != packs.end(); });
}

std::vector<std::string> PacksInChoosingOrder(const std::vector<ModelSkin>& pairs) {
  std::vector<std::string> packs;
  for (std::size_t i = 0; i < pairs.size(); ++i)
    if (i == 0 || pairs[i].model != pairs[i - 1].model) packs.push_back(pairs[i].model);
  return packs;
}

std::vector<std::string> ChosenListItems(const std::vector<ModelSkin>& pairs) {
  std::vector<std::string> items = PacksInChoosingOrder(pairs);
  SortForList(items);
  return items;
}

PreviewPicture ModelPicture(const std::string& folder, const std::string& model) {
  static const char* const kOrder[3] = {".bmp", ".pcx", ".jpg"};
  return firstPicture(folder, model, kOrder);
}

PreviewPicture InstalledSkinPicture(const std::string& modelFolder, const std::string& skin) {
  static const char* const kOrder[3] = {".bmp", ".jpg", ".pcx"};
  return firstPicture(modelFolder, skin, kOrder);
}

std::string AvailablePreviewArgs(const std::string& scratchFolder, const std::string& skin) {
  return scratchFolder + "tris.md2 " + scratchFolder + skin + ".pcx";
}

std::string InstalledPreviewArgs(const std::string& playersFolder, const std::string& model, const std::string& skin) {
  const std::string folder = playersFolder + model + "/";
  auto onDisk = [&](const std::string& name) { return FindFileNoCase(folder, name).value_or(folder + name); };
  return onDisk("tris.md2") + " " + onDisk(skin + ".pcx");
}

std::optional<std::size_t> FindPackEntry(const Tzipform& zip, const std::string& fileName) {
  for (std::size_t i = 0; i < zip.size(); ++i)
    if (!zip.record(i).isFolder && equalsNoCase(fileNamePartAnySeparator(zip.entryName(i)), fileName)) return i;
  return std::nullopt;
}

Result<std::string> ExtractPackFile(Tzipform& zip, const std::string& fileName, const std::string& folder) {
  const std::optional<std::size_t> index = FindPackEntry(zip, fileName);
  if (!index) return Error{ErrorKind::Missing, "the model pack has no " + fileName};
  Result<EntryPath> place = SafeEntryPath(zip.entryName(*index));
  if (!place) return place.error();
  Result<Placement> into = Placement::Open(folder);
  if (!into) return into.error();
  Report report = zip.ExtractEntry(*index, *into, false, true);
  if (!report.empty()) return Error{report.text()};
  // An older copy in another letter case is replaced under its own spelling.
  return FindFileNoCase(into->root(), place->name).value_or(into->root() + place->name);
}

namespace {

// The two words of q2previewargs split at the blank behind the mesh's name
// ("tris.md2" or "TRIS.MD2"): mesh path and skin path.
std::pair<std::string, std::string> splitPreviewArgs(const std::string& args) {
  const std::size_t mesh = lowerAsciiCopy(args).find(".md2 ");
  if (mesh == std::string::npos) return {args, ""};
  return {args.substr(0, mesh + 4), args.substr(mesh + 5)};
}

// The pack's mesh and skin into a fresh private folder; the paths the viewer
// gets, each the extracted copy or, where none could be made, the path of
// q2previewargs, which the viewer then reports as missing.
std::pair<std::string, std::string> copyPackFiles(ModelPreviewRun& run, const std::string& scratchFolder,
                                                  const std::string& pack, const std::string& skin,
                                                  std::pair<std::string, std::string> paths, Tzipform& zip,
                                                  const GameSettings& q2) {
  if (Status listed = zip.ListArchive(PackArchivePath(q2, pack)); !listed) {
    run.leftOut.skip(pack, listed.error().text);
    return paths;
  }
  std::string folder = scratchFolder + ".modelpreview.XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    run.leftOut.skip(pack, "cannot make a work folder in " + scratchFolder);
    return paths;
  }
  run.copiesFolder = folder + "/";
  std::string* path[] = {&paths.first, &paths.second};
  const std::string files[] = {"tris.md2", skin + ".pcx"};
  for (int i = 0; i < 2; ++i) {
    Result<std::string> copied = ExtractPackFile(zip, files[i], run.copiesFolder);
    if (!copied) {
      run.leftOut.skip(files[i], copied.error().text);
      continue;
    }
    run.copies.push_back(*copied);
    *path[i] = *copied;
  }
  return paths;
}

}  // namespace

ModelPreviewRun PrepareModelPreview(const std::string& programFolder, const std::string& scratchFolder,
                                    const std::string& pack, bool fromPack,
                                    const std::string& skin, const std::string& q2previewargs,
                                    const std::string& currentFolder, Tzipform& zip, const GameSettings& q2) {
  ModelPreviewRun run;
  auto [mesh, skinPath] = splitPreviewArgs(q2previewargs);
  if (fromPack) std::tie(mesh, skinPath) = copyPackFiles(run, scratchFolder, pack, skin, {mesh, skinPath}, zip, q2);
  const std::string viewer = "\"" + programFolder + "meshpeek/meshpeek\" ";
  if (mesh.find(' ') == std::string::npos && skinPath.find(' ') == std::string::npos) {
    run.commandLine = viewer + mesh + " " + skinPath;
    run.workFolder = currentFolder;
  } else {
    run.commandLine = viewer + "\"" + fileNamePart(mesh) + "\" \"" + fileNamePart(skinPath) + "\"";
    run.workFolder = std::string(folderPart(mesh));
  }
  return run;
}

void RemovePreviewCopies(const ModelPreviewRun& run) {
  for (const std::string& copy : run.copies) removeFile(copy);
  // Only an emptied folder goes: rmdir never removes what something else put there.
  if (!run.copiesFolder.empty()) ::rmdir(run.copiesFolder.c_str());
}

Status RemoveModelFolder(const std::string& playersFolder, const std::string& model) {
  if (!IsPlainFolderName(model)) return Error{"\"" + model + "\" is not a model folder name."};
  const std::filesystem::path folder = playersFolder + model;
  std::error_code ec;
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(folder, ec)))
    return Error{folder.string() + " is not a folder."};
  // remove_all removes links themselves and never descends through them.
  std::filesystem::remove_all(folder, ec);
  if (ec) return Error{"Could not remove " + folder.string() + ": " + ec.message()};
  return {};
}

}  // namespace fdk
