#pragma once
// The desktop's trash (the freedesktop.org layout: Trash/files and Trash/info
// below the user's data folder), so that what the player deletes can be
// brought back from the file manager.
#include <string>

#include "base/result.h"

namespace fdk {

// The trash folder: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
std::string TrashFolder();

// Moves a file or folder (a link as the link) into the trash and records where
// it came from; gives its path in the trash. Fails, leaving it in place, when
// there is no trash on the same disk: a copy across disks is no move.
Result<std::string> MoveToTrash(const std::string& path);

}  // namespace fdk
