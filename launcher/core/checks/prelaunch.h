#pragma once
// What will go wrong when the game starts, told before it starts: the things a
// player otherwise meets only as an engine's error, or never understands.
#include <string>
#include <vector>

#include "core/archive/catalogue.h"
#include "core/games/games.h"
#include "core/store/settings.h"

namespace fdk {

enum class FindingKind {
  GameFolder,      // the game folder is missing
  Program,         // the program is missing, a folder, or cannot be run
  BaseFolder,      // the game folder has no base folder in any letter case
  LetterCase,      // a folder or PAK the engines look for in lower case is spelled otherwise
  PakGap,          // Quake stops reading PAKs at the first missing number
  WindowsOnlyMod,  // a Quake 2 MOD brings its game code only for Windows
  ShadowedMap,     // a PAK of the same folder holds the chosen map; its copy is the one loaded
};

struct Finding {
  FindingKind kind;
  std::vector<std::string> paths;  // the folders and files concerned, absolute
  std::string text;                // one sentence for the player
};

// Every finding for a start of the game now, in the order above. The catalogue
// is used to read the chosen MOD's and maps' archives.
std::vector<Finding> PreLaunchChecks(const Uvars& vars, Game game, Tzipform& zip);

bool HasLetterCaseFinding(const std::vector<Finding>& findings);

// One line of a game's findings for a page that has no room for them:
// "Quake: all well." or "Quake 2: 2 findings, see Q2 Stuff."
std::string FindingsSummary(Game game, const std::vector<Finding>& findings);

}  // namespace fdk
