#pragma once
// Installing the chosen MOD: its archive from the MOD folder extracted into the
// game folder, entry by entry, never replacing a file that is there, with the
// player asked once whether to go on when the first such file is met.
#include <string>

#include "base/report.h"
#include "core/archive/catalogue.h"
#include "core/content/mods.h"
#include "core/install/installhost.h"
#include "core/install/keptfiles.h"
#include "core/record/changerecorder.h"
#include "core/store/settings.h"

namespace fdk {

inline constexpr const char* kModConflictQuestion = "A file of the MOD already exists! Continue extraction?";
struct ModInstall {
  bool ran = false;  // false when no MOD is chosen: nothing shown, nothing extracted
  Report leftOut;    // entries refused or not written, each with why
  KeptFiles kept;    // files of the MOD kept out by a different file in their place
  // Quake 2: the folder the MOD runs from (its spelling on disk); empty when
  // every file of the MOD went below "baseq2/" or to the game folder's root.
  std::string modGameFolder;
};

// Installs the MOD chosen for the game through the catalogue (which holds its
// listing afterwards). An archive that cannot be read, or a game folder that
// cannot be written, is an error: nothing was installed. The recorder, when
// there is one, is told what is written.
Result<ModInstall> InstallMod(const Uvars& vars, Game game, Tzipform& zip, InstallHost& host,
                              ChangeRecorder* recorder = nullptr);

// The folder a Quake 2 MOD runs from, by its archive's entries: the first folder
// of the first entry that is not below "baseq2/"; empty when that entry lies at
// the archive's root or every entry is below "baseq2/". Entries whose names are
// not safe to extract are passed over.
std::string ModGameFolderOf(const Tzipform& zip);

}  // namespace fdk
