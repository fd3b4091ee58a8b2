#pragma once
// Removing the launcher's left-over work files.
#include <string>

namespace fdk {

struct Uvars;

// Deletes the files directly inside the scratch folder's "paktemp" work folder,
// removes that folder when it is then empty, and deletes the converter's
// "!-!.bmp", "!-!.pcx" and "!-!.jpg". Missing files are fine.
void CleanUpLeftovers(const std::string& scratchFolder);

// Deletes a start script left in "id1/" and "baseq2/" by an earlier launch.
void DeleteLeftoverStartScripts(const Uvars& vars);

}  // namespace fdk
