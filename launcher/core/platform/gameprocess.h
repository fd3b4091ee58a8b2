#pragma once
// Knowing whether a game still runs. The launch starts the game in a session
// of its own; every program the game starts stays in that session unless it
// makes one of its own, so a start script that runs the game, or a wrapper
// that starts it and ends, is followed to the game's real end.
#include <cstdint>
#include <optional>

#include <sys/types.h>

#include "core/record/launchrecord.h"

namespace fdk {

// The process as the system knows it now; nothing when it does not run.
std::optional<ProcessIdentity> IdentifyProcess(pid_t pid);

// Whether any process of the game's session still runs. A session number is
// a process number: when the number names a process that started at another
// time than the game, the number was given out again after the game's
// session ended, and what runs under it is not the game.
bool SessionRuns(const ProcessIdentity& game);

}  // namespace fdk
