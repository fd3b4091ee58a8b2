#pragma once
// The MOD lists of the MOD pages and what choosing a MOD shows: its description
// and its preview picture, all from the files beside the MOD's archive.
#include <string>
#include <vector>

#include "core/store/settings.h"

namespace fdk {

// "(none)", then every MOD the MOD folder describes: the name of each "*.txt"
// (Quake also "*.wat") without its extension, sorted without regard to case. A
// Quake MOD with both files is listed twice; "(none)" always comes first.
std::vector<std::string> ModListItems(const GameSettings& g, Game game);

struct ModPreview {
  enum class Kind { Bitmap, Convert, Placeholder };
  Kind kind = Kind::Placeholder;
  std::string path;  // the picture to show (Bitmap) or to convert first (Convert)
};

struct ModChoice {
  std::string mod;          // for q1mod / q2mod: empty for "(none)"
  bool clearDescription;    // "(none)": the description box is emptied
  bool hasDescription;      // else: whether `description` replaces the box's text
  std::string description;  // the ".txt" (Quake: the ".wat" when there is one), as stored
  ModPreview preview;
};

// What choosing `item` in the game's MOD list means. File names match without
// regard to letter case, as MODs arrive from systems that ignore it.
ModChoice ChooseMod(const GameSettings& g, Game game, const std::string& item);

// The MOD archive of the chosen MOD: the MOD folder + MOD + ".zip", in any
// letter case (the MOD was listed from its description, whose case may differ).
std::string ModArchivePath(const Uvars& vars, Game game);

// The base name of a MOD's preview: its own name, except for ZEUSBOTS, whose
// pictures have always been named "zeusbot".
std::string ModPreviewBase(const std::string& mod);

}  // namespace fdk
