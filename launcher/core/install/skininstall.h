#pragma once
// Installing the Selected Skins of the Q1 Skins page at a Quake launch.
#include <string>
#include <vector>

#include "base/report.h"
#include "core/archive/catalogue.h"
#include "core/install/installhost.h"
#include "core/install/installrun.h"
#include "core/record/changerecorder.h"
#include "core/store/settings.h"

namespace fdk {

// bq1scClick: extracts each selected skin archive (skin folder + name + ".zip")
// into "qw/skins/" of the Quake folder without its folders, never replacing a
// skin. What could not be installed is reported, and the skins kept out by a
// different file of their name are named beside; the others still install.
// The recorder, when there is one, is told what is written.
InstallOutcome InstallChosenSkins(const GameSettings& quake, const std::vector<std::string>& selected, Tzipform& zip,
                                  InstallHost& host, ChangeRecorder* recorder = nullptr);

}  // namespace fdk
