#pragma once
// Waiting for the game that the launcher starts right after the clean-up tool.
#include <chrono>
#include <string>
#include <sys/types.h>

#include "core/store/settings.h"

namespace fdk {

// The game's executable as the system names a running process's program: the
// first word of EXE resolved against the game folder, links and "." resolved.
std::string GameExecutable(const GameSettings& game);

// A running process whose program (/proc/<pid>/exe) is exe, or that runs exe
// as a script; -1 when there is none.
pid_t FindGame(const std::string& exe);
bool GameRunning(const std::string& exe);

struct WaitBounds {
  // How long the game may take to appear; it may also have come and gone
  // between two looks, so running out is not an error.
  std::chrono::milliseconds appear{60000};
  std::chrono::milliseconds poll{250};
};

enum class GameWait { Ended, NeverSeen };

// Waits for the game to appear (bounded), then for as long as it runs (no
// bound: a game is played for hours).
GameWait WaitForGame(const std::string& exe, const WaitBounds& bounds);

}  // namespace fdk
