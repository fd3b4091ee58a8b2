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

}  // namespace fdk
