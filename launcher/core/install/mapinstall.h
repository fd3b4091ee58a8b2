#pragma once
// Installing the chosen maps at a launch, and the Quake 2 game's own list of
// maps, "maps.lst".
#include <string>
#include <vector>

#include "base/report.h"
#include "base/result.h"
#include "core/archive/catalogue.h"
#include "core/install/installhost.h"
#include "core/install/installrun.h"
#include "core/record/changerecorder.h"
#include "core/store/settings.h"

namespace fdk {

// Extracts each chosen map's archive (map folder + name + ".zip") into the game
// folder with its folders, never replacing a file. The progress counts archive
// sizes. A missing or damaged archive is reported and the others still install;
// the files kept because a different one is in their place are named beside.
// The recorder, when there is one, is told what is written.
InstallOutcome InstallChosenMaps(const GameSettings& g, const std::vector<std::string>& chosen, Tzipform& zip,
                                 InstallHost& host, ChangeRecorder* recorder = nullptr);

// One line per map: the name, a blank and the name in double quotes; CR LF.
std::string MapsListText(const std::vector<std::string>& names);

// Where "maps.lst" goes: the chosen MOD's game folder, else "baseq2/".
std::string MapsListPath(const Uvars& vars);

// Writes "maps.lst" for the names, replacing the old one (told to the recorder).
Status WriteMapsList(const Uvars& vars, const std::vector<std::string>& names, ChangeRecorder* recorder = nullptr);

}  // namespace fdk
