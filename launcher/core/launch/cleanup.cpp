#include "core/launch/cleanup.h"

#include <filesystem>
#include <system_error>

#include "core/launch/launch.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/store/settings.h"

namespace fdk {

void CleanUpLeftovers(const std::string& scratchFolder) {
  const std::string work = scratchFolder + "paktemp/";
  for (const std::string& name : ListFolder(work, "*", {EntryKind::Files, false})) removeFile(work + name);
  std::error_code ec;
  // Fails, as intended, when the folder is missing or still holds a sub-folder.
  std::filesystem::remove(scratchFolder + "paktemp", ec);
  for (const char* name : {"!-!.bmp", "!-!.pcx", "!-!.jpg"}) removeFile(scratchFolder + name);
}

void DeleteLeftoverStartScripts(const Uvars& vars) {
  for (Game game : kGames) removeFile(vars.game(game).Path + TraitsOf(game).baseFolder + "q.cfg");
}

}  // namespace fdk
