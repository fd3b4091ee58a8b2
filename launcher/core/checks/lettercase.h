#pragma once
// Renaming what the engines look for in lower case -- the base folder, the
// Quake MOD's folder and the numbered PAK files -- one name at a time, with a
// record of each rename in the program's state so that it can be undone.
#include <string>
#include <vector>

#include "base/report.h"
#include "core/archive/catalogue.h"
#include "core/games/games.h"
#include "core/store/settings.h"

namespace fdk {

struct Rename {
  std::string folder;  // below the game folder, "" for the game folder itself; no separators at its ends
  std::string from;
  std::string to;
};

struct RenameRun {
  std::vector<Rename> renamed;
  Report left;  // what was not renamed (or put back), and why
};

// The renames a start now calls for: the base folder to "id1"/"baseq2", a
// Quake MOD's folder to the name the game is told, then every numbered PAK
// file of those folders (and of a Quake 2 MOD's) to lower case, named in
// its folder's new spelling.
std::vector<Rename> LetterCasePlan(const Uvars& vars, Game game, Tzipform& zip);

// Carries the plan out in order. A rename never lands on a name that exists,
// never renames or passes through a symbolic link, and never leaves the game
// folder; a refused one is left and the rest go on. Each rename done is added
// to the record before the next is tried.
RenameRun FixLetterCase(const std::vector<Rename>& plan, const std::string& gameFolder, const std::string& recordPath);

// Puts back what the record names, latest first, by the same rules. The record
// keeps only what could not be put back, and goes when nothing is left.
RenameRun UndoLetterCase(const std::string& recordPath);

// Where a game's renames are recorded: "lettercase-1.record" or "lettercase-2.record" in the state folder.
std::string LetterCaseRecordPath(const Uvars& vars, Game game);

// One message for the player: what was renamed (or put back), and what was left and why.
std::string RenameRunText(const RenameRun& run, bool undo);

}  // namespace fdk
