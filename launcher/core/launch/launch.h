#pragma once
// Preparing a game for a start: the start script "q.cfg", the config-set copies
// and the command lines of both games.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/report.h"
#include "base/result.h"
#include "core/games/games.h"
#include "core/record/changerecorder.h"
#include "core/store/settings.h"

namespace fdk {

// The Quake 2 deathmatch flags ("dmflags") from the switches of the "Quake 2" section.
int DeathmatchFlags(const GameSettings& q2);

// The lines of "q.cfg", without line ends.
std::vector<std::string> Q1StartScriptLines(const GameSettings& q1);
std::vector<std::string> Q2StartScriptLines(const GameSettings& q2);

// Why a launch of the game cannot use its folder (the game folder or its base
// folder is missing). Checked before anything is written, because a launch never
// makes game folders.
Status CheckGameFolders(const Uvars& vars, Game game);

// Removes old start scripts and writes the new one, lines ended by CR LF: Quake
// into the chosen MOD's folder (else "id1/"), Quake 2 into "baseq2/". With a
// recorder, each removal, the script and a MOD folder it makes are told to it
// first; what it refuses is not done, and the script is then not written.
Status WriteStartScript(const Uvars& vars, Game game, ChangeRecorder* recorder = nullptr);

// The config set CFG + ACFG: its plain files whose names do not start with ".".
std::vector<std::string> ConfigSetFiles(const GameSettings& g);

// Copies the chosen config set into the game's base folder and the chosen MOD's
// folder, replacing files there. Nothing happens without a chosen set; a set name
// that is not one plain folder name, and entries that are links or not plain
// files, are never copied: the report says which and why. With a recorder,
// every copy and a MOD folder it makes are told to it first; what it refuses
// is not copied and is reported.
Report CopyConfigSet(const Uvars& vars, Game game, ChangeRecorder* recorder = nullptr);

// The combo items: "(none)", then every entry of the CFG folder not starting with ".".
std::vector<std::string> ConfigSetChoices(const GameSettings& g);

// A folder or file name as one word of a command line, the way SplitCommandLine
// reads it back: QuoteWord always quotes; CommandWord leaves a name alone unless
// it holds a blank, a quote or a control character, and leaves "" empty.
std::string QuoteWord(std::string_view name);
std::string CommandWord(std::string_view name);

// Why a name the launch puts on the game's command line must not go there: the
// chosen MOD's name, the MOD game folder its archive names (Quake 2; "" when not
// known yet), the program's name and the CD folder. A MOD's names come from the
// internet: a quote, a control character, a "+" or a ";" in them would reach the
// game's console as commands of their own. The error names the MOD or setting.
Status CheckCommandLineNames(const Uvars& vars, Game game, std::string_view modGameFolder = {});

// The command lines, in the games' fixed order. The Quake 2 line names the MOD
// game folder that the MOD installation found (vars.modGameFolder). Every name
// in them is one word (CommandWord); the free text CmdLine is passed as typed.
std::string Q1CommandLine(const Uvars& vars);
std::string Q2CommandLine(const Uvars& vars);
std::string CommandLine(const Uvars& vars, Game game);

// The clean-up tool, started after the game when Use Terminator is on: the
// program folder's "term", handed the launch's record. Empty when the tool is
// not there.
std::string TerminatorPath(const Uvars& vars);
std::string TerminatorCommandLine(const Uvars& vars, const std::string& recordPath);

}  // namespace fdk
