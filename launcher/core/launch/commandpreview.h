#pragma once
// What "Start" will run, shown before it runs: the program and every argument,
// made by the same functions the launch starts the game with.
#include <string>
#include <vector>

#include "core/games/games.h"

namespace fdk {

struct Uvars;
class Tzipform;

// The words of a POSIX shell command: a word of only letters, digits and
// "%+,-./:=@_" stays as it is, any other (and the empty word) goes in single
// quotes, a single quote inside becoming '\''. Pasted into a shell, the text
// runs the program with exactly these words.
std::string ShellCommandText(const std::vector<std::string>& words);

// The program (resolved the way the start resolves it) and its arguments for
// a start now. A chosen Quake 2 MOD's game folder is read from its archive
// with the spelling of a folder already in the game folder, as its install
// would find it; the catalogue is used for that.
std::vector<std::string> StartWords(const Uvars& vars, Game game, Tzipform& zip);

// The game folder a chosen Quake 2 MOD runs from, as a start now would name it
// (see StartWords); empty with no MOD or none of its own.
std::string Q2ModGameFolderNow(const Uvars& vars, Tzipform& zip);

// ShellCommandText(StartWords(...)).
std::string CommandPreview(const Uvars& vars, Game game, Tzipform& zip);

}  // namespace fdk
