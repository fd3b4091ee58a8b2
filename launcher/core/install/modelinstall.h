#pragma once
// Installing the chosen Quake 2 model packs at a launch.
#include <string>
#include <vector>

#include "base/report.h"
#include "core/archive/catalogue.h"
#include "core/install/installhost.h"
#include "core/install/installrun.h"
#include "core/record/changerecorder.h"
#include "core/store/settings.h"

namespace fdk {

// InstallChosenModels: extracts every chosen pack (model store + pack + ".zip")
// into the Quake 2 folder with its folders, never replacing a file (those kept
// out by a different file in their place are named beside the report). A pack
// chosen several times in a row is read once. The recorder, when there is one,
// is told what is written.
InstallOutcome InstallChosenModels(const GameSettings& quake2, const std::vector<ModelSkin>& chosen, Tzipform& zip,
                                   InstallHost& host, ChangeRecorder* recorder = nullptr);

}  // namespace fdk
