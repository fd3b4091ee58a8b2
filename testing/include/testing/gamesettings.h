#pragma once
// The launcher's settings pointed at a GameTree. For the launcher's tests
// only: it needs the launcher's core, which they link and the rest of the
// test helpers do not.
#include "core/store/settings.h"
#include "testing/gametree.h"

namespace fdk {

// A game's folder settings: the game folder, its MOD, map, skin (for Quake 2,
// model pack) and config set folders; the rest as given.
inline GameSettings SettingsIn(const GameFolders& folders, GameSettings g = {}) {
  g.Path = folders.game;
  g.Patch = folders.mods;
  g.Maps = folders.maps;
  g.Skins = folders.skins;
  g.CFG = folders.cfgs;
  return g;
}

// The settings of a new settings file whose home is the tree, with both
// games' folders in it, and the program folder too unless one is given.
inline Uvars VarsIn(const GameTree& tree, const std::string& programFolder = "") {
  Uvars vars;
  AssignDefaults(vars, DefaultRoots{tree.folder()});
  vars.programFolder = programFolder.empty() ? tree.program() : programFolder;
  vars.q1 = SettingsIn(tree.quake(), vars.q1);
  vars.q2 = SettingsIn(tree.quake2(), vars.q2);
  return vars;
}

}  // namespace fdk
