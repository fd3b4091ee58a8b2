#pragma once
// The Quake 2 player models of the Q2 Models page: the packs of the model store
// ("Available"), the packs chosen for the next launch ("Choosen") and the models
// of the game's players folder ("Installed"), each at its model level or at the
// skin level of one pack or model; the chosen pairs and the preview pictures.
#include <cstddef>
#include <string>
#include <vector>

#include "base/report.h"
#include "core/archive/catalogue.h"
#include "core/store/settings.h"

namespace fdk {

inline constexpr const char* kBackItem = "(back)";

// The players folder: Quake 2 path + "baseq2/players/", each part found without
// regard to letter case where it exists.
std::string PlayersFolder(const GameSettings& q2);

// Available at model level: "(none)" and every "*.zip" of the model store less
// its extension, names starting with "." left out; sorted as the list shows them.
std::vector<std::string> AvailablePacks(const GameSettings& q2);

// Installed at model level: every folder of the players folder whose name has no ".".
std::vector<std::string> InstalledModels(const GameSettings& q2);

// The skins that have an icon, in the order found: every file entry of the
// listed archive whose file name ends in "_i.pcx" (any letter case, "/" or
// "\\" between folders), less those six characters; and every "*.pcx" of an
// installed model's folder with name + "_i.pcx" beside it. The Q2 Models page
// and the Quake 2 editor list the same skins.
std::vector<std::string> IconSkinsOfPack(const Tzipform& zip);
std::vector<std::string> IconSkinsOfModel(const std::string& modelFolder);

// A pack's skins at skin level, from the catalogue listing of its archive:
// "(back)" and every entry's file name that ends in "_i.pcx" (its icon), less
// those six characters.
std::vector<std::string> PackSkins(const Tzipform& zip);

// An installed model's skins: "(back)" and every "*.pcx" of its folder that has
// an icon (name + "_i.pcx") beside it; icons and skins without one are left out.
std::vector<std::string> InstalledSkins(const std::string& modelFolder);

// The skin pairs a whole pack adds, from the listing of its archive: every
// entry whose name less its extension, followed by "_i.pcx", names an entry too.
std::vector<std::string> SkinsOfPack(const Tzipform& zip);

void AppendPair(std::vector<ModelSkin>& pairs, const std::string& pack, const std::string& skin);

// bq2srClick at model level: every icon-bearing skin of each selected pack, the
// packs in the order given. A pack whose archive is missing or damaged adds
// nothing and is reported.
Report AppendPackPairs(const GameSettings& q2, const std::vector<std::string>& packs, Tzipform& zip,
                       std::vector<ModelSkin>& pairs);

// bq2slClick: removes every pair whose pack is one of the given names exactly.
void RemovePairs(std::vector<ModelSkin>& pairs, const std::vector<std::string>& packs);

// The pack of the first pair and of every later pair whose pack differs from
// the one before it, in the order chosen: the packs an install reads.
std::vector<std::string> PacksInChoosingOrder(const std::vector<ModelSkin>& pairs);

// RefreshChosenList: the pack of the first pair and of every later pair whose
// pack differs from the one before it, sorted as the list shows them (a pack
// chosen again after another is listed twice).
std::vector<std::string> ChosenListItems(const std::vector<ModelSkin>& pairs);

// The archive of a pack in the model store, its name found without regard to
// letter case; the plain path when there is none.
std::string PackArchivePath(const std::string& modelStore, const std::string& pack);
inline std::string PackArchivePath(const GameSettings& q2, const std::string& pack) {
  return PackArchivePath(q2.Skins, pack);
}

struct PreviewPicture {
  enum class Kind { None, Bitmap, Convert };
  Kind kind = Kind::None;
  std::string path;  // the picture to show (Bitmap) or to convert first (Convert)
};

// A model's picture beside its pack or folder: folder + model + ".bmp", else
// ".pcx", else ".jpg".
PreviewPicture ModelPicture(const std::string& folder, const std::string& model);

// An installed skin's picture: ".bmp" shown directly, else ".jpg", else ".pcx" converted.
PreviewPicture InstalledSkinPicture(const std::string& modelFolder, const std::string& skin);

// q2previewargs: the mesh path, one blank and the skin path. An installed
// model's files are named in their spelling on disk ("TRIS.MD2" where the
// folder holds that), else by their plain names.
std::string AvailablePreviewArgs(const std::string& scratchFolder, const std::string& skin);
std::string InstalledPreviewArgs(const std::string& playersFolder, const std::string& model, const std::string& skin);

// The index of the catalogue entry whose file name (after the last "/") is
// fileName, letter case ignored; nothing when none. Exact, so "red.pcx" never picks
// "dred.pcx".
std::optional<std::size_t> FindPackEntry(const Tzipform& zip, const std::string& fileName);

// Extracts that entry into folder under its stored file name (which may differ
// from fileName in letter case), replacing an older copy; the path written.
Result<std::string> ExtractPackFile(Tzipform& zip, const std::string& fileName, const std::string& folder);

// What "Model Preview" starts: meshpeek from the program folder with the mesh
// and the skin, and the copies it extracted for it, deleted when it has ended.
struct ModelPreviewRun {
  std::string commandLine;
  std::string workFolder;
  std::string copiesFolder;         // the private folder the copies went into; "" when none was made
  std::vector<std::string> copies;  // exactly the files extracted for the viewer
  Report leftOut;                   // what could not be extracted
};

// The pack's mesh and skin are copied into a private folder of the scratch
// folder when the last skin-level click was in the Available list (pack = the
// pack opened there), so a file of the same name there is never replaced or
// deleted, and the viewer is given the names the pack stores ("TRIS.MD2"); an
// installed model's files are shown where they lie. The viewer reads its paths
// as blank-free words, so when a path holds a blank it is started in the files'
// folder with their plain names.
ModelPreviewRun PrepareModelPreview(const std::string& programFolder, const std::string& scratchFolder,
                                    const std::string& pack, bool fromPack,
                                    const std::string& skin, const std::string& q2previewargs,
                                    const std::string& currentFolder, Tzipform& zip, const GameSettings& q2);

// Removes exactly the copies a preview made, then their private folder.
void RemovePreviewCopies(const ModelPreviewRun& run);

// Removes an installed model's folder with everything in it; symbolic links
// inside are removed, never followed. Only a plain folder name is accepted.
Status RemoveModelFolder(const std::string& playersFolder, const std::string& model);

// Sorted as the sorted list boxes show their items: without regard to letter case.
void SortForList(std::vector<std::string>& items);

}  // namespace fdk
