#pragma once
// Parts of the demo tree that have a file of their own. Each returns false when
// something could not be written.
#include <string>

namespace demo {

// Skin archives for the Q1 Skins page, in the Quake skin folder.
bool writeSkins(const std::string& skinFolder);
// Quake 2 model packs in the model store and a model installed below baseq2/players/.
bool writeModels(const std::string& modelStore, const std::string& quake2Folder);
// Config sets of both games, for the launches and the player editors.
bool writeConfigSets(const std::string& q1Cfgs, const std::string& q2Cfgs);

}  // namespace demo
