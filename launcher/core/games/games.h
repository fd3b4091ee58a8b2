#pragma once
// What every area of the launcher knows about the two games, with nothing
// below it but the base library: which games there are, how they differ, and
// the plain names the launcher uses for folders and empty choices.
#include <string>

namespace fdk {

enum class Game { Quake1, Quake2 };

// What differs between the two games wherever they are otherwise handled alike.
struct GameTraits {
  Game game;
  const char* name;        // "Quake", "Quake 2"
  const char* baseFolder;  // the game's own data below its folder: "id1/", "baseq2/"
  char number;             // '1' or '2': the launch's game and the clean-up tool's argument
  bool scriptInModFolder;  // Quake reads "q.cfg" from the MOD's folder when a MOD is chosen
};
const GameTraits& TraitsOf(Game game);
inline constexpr Game kGames[] = {Game::Quake1, Game::Quake2};

// The game's base folder as a name: "id1" or "baseq2".
std::string BaseFolderName(Game game);

// True for a name that is one folder inside the game folder (no separators, not "." or "..").
bool IsPlainFolderName(const std::string& name);

// The item of a drop-down that chooses nothing.
inline constexpr const char* kNoneItem = "(none)";

}  // namespace fdk
