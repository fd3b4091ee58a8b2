#pragma once
// Whether a file already in a game folder holds exactly what an archive entry
// would have written there. Installs never replace a file, so a file they keep
// either changes nothing (the same bytes) or keeps the player from what they
// chose; only the second is worth telling.
#include "core/archive/catalogue.h"
#include "core/placement/placement.h"

namespace fdk {

// The same size first, then the same CRC-32, of the file read in chunks
// through the placement (never through a link). Whatever cannot be shown to
// be the same counts as different: a link, a folder or anything but a plain
// file at the place, a file that cannot be read, an entry that declares no
// CRC-32.
bool SameAsEntry(Placement& into, const EntryPath& place, const ArchiveRecord& record);

}  // namespace fdk
