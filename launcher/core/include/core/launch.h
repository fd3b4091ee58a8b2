#pragma once
// Starting a game: the start script "q.cfg", the config-set copies and the
// command lines of both games.
#include <string>
#include <vector>

#include "core/settings.h"

namespace fdk {

// The Quake 2 deathmatch flags ("dmflags") from the switches of the "Quake 2" section.
int DeathmatchFlags(const GameSettings& q2);

// The lines of "q.cfg", without line ends.
std::vector<std::string> Q1StartScriptLines(const GameSettings& q1);
std::vector<std::string> Q2StartScriptLines(const GameSettings& q2);

// True for a name that is one folder inside the game folder (no separators, not "." or "..").
bool IsPlainFolderName(const std::string& name);

// Why a launch of the game cannot use its folder (the game folder or its base
// folder "id1/" or "baseq2/" is missing); empty when both are there. Checked before
// anything is written, because a launch never makes game folders.
std::string CheckGameFolders(const Uvars& vars, Game game);

// Removes old start scripts and writes the new one, lines ended by CR LF:
// Quake into the chosen MOD's folder (else "id1/"), Quake 2 into "baseq2/".
// Returns an error text naming the file, empty on success.
std::string WriteQ1StartScript(const Uvars& vars);
std::string WriteQ2StartScript(const Uvars& vars);

// The config set CFG + ACFG: its plain files whose names do not start with ".".
std::vector<std::string> ConfigSetFiles(const GameSettings& g);

// Copies the chosen config set into the game, replacing files there. Nothing
// happens without a chosen set; a set name that is not one plain folder name, and
// entries that are links or not plain files, are never copied. Returns why each
// file that was not copied was left out.
std::vector<std::string> CopyQ1ConfigSet(const Uvars& vars);
std::vector<std::string> CopyQ2ConfigSet(const Uvars& vars);

// The combo items: "(none)", then every entry of the CFG folder not starting with ".".
std::vector<std::string> ConfigSetChoices(const GameSettings& g);
inline constexpr const char* kNoneItem = "(none)";

// The command lines, in the games' fixed order. modGameFolder is the folder the
// MOD installation found for a Quake 2 MOD.
std::string Q1CommandLine(const Uvars& vars);
std::string Q2CommandLine(const Uvars& vars, const std::string& modGameFolder);

// The outside tool started before a game when Use Terminator is on: the program
// folder's "term" with the game's number. Empty when the tool is not there.
std::string TerminatorCommandLine(const Uvars& vars);

}  // namespace fdk
