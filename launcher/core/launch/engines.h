#pragma once
// The engines a Linux player runs the games with: the known ones by program
// name, where each looks for the game's files, and which of them this machine has.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/games/games.h"

namespace fdk {

struct GameSettings;

// Engines of one family look for the game's files the same way.
enum class EngineFamily {
  Quakespasm,  // Quakespasm, vkQuake, Ironwail: the working folder unless -basedir names one
  DarkPlaces,  // the working folder unless -basedir names one
  Yamagi,      // Yamagi Quake 2: its own folder and ~/.yq2, or what -datadir names; never the working folder
  Other,       // the working folder
};

struct KnownEngine {
  const char* name;  // the program's file name as distributions and builds install it
  Game game;
  EngineFamily family;
};
std::span<const KnownEngine> KnownEngines();

// The base-folder argument ("BaseArg") an engine of the family needs to find
// a game folder it was not started from: "-basedir", "-datadir" or "".
const char* BaseArgumentFor(EngineFamily family);

// The values the "BaseArg" setting may take, "" first.
std::span<const char* const> BaseArgumentChoices();

// The family of a program by its file name (any folder), when it is a known engine of the game.
std::optional<EngineFamily> FamilyOf(std::string_view program, Game game);

// The engines found for a game, each an absolute path, in this order: every
// executable of a known name for the game in the folders of pathVariable (as
// PATH is: folders separated by ":") and in /usr/games, the earlier folder
// first; then every executable file directly inside the game folder, by name.
// A path is offered once; missing folders, files that are not executable and
// links that lead nowhere are passed over.
std::vector<std::string> DetectEngines(Game game, std::string_view pathVariable, const std::string& gameFolder);

// The player chose one of the detected engines: its absolute path becomes the
// program (the game folder stays), and the base argument follows the engine's
// family (none for a program of no known name).
void ChooseDetectedEngine(GameSettings& g, Game game, const std::string& path);

// The player picked a program file. Its name and folder become the program and
// the game folder, as they always have, unless it is a known engine that lies
// outside the game folder and beside no base folder ("id1", "baseq2" in any
// letter case): a distribution's engine in /usr/games is kept by its path and
// the game folder stays. Either way the base argument follows its family.
void ChoosePickedProgram(GameSettings& g, Game game, const std::string& picked);

}  // namespace fdk
