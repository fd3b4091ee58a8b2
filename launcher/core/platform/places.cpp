#include "core/platform/places.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/platform/paths.h"

namespace fdk {

namespace {

constexpr const char* kOwnFolder = "fragdock/";
// The base folders hold other programs' files too, and ours may hold what a
// player would rather keep to themselves (server passwords in the settings).
constexpr mode_t kPrivateFolderMode = 0700;

std::string environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A value that is unset, empty or relative is not a base folder: relative
// ones would depend on where the program happened to be started.
std::string baseFolder(const std::string& value, const std::string& home, const char* fallback) {
  if (!value.empty() && isAbsolutePath(value)) return withTrailingSep(value);
  return withTrailingSep(home) + fallback;
}

Error cannotMake(const std::string& folder, ErrorKind kind, const std::string& why) {
  return Error{kind, "Cannot make the folder " + folder + ": " + why};
}

// mkdir of every missing folder along the path (the path is absolute); what
// exists is left as it is, modes included.
Status makeFolder(const std::string& folder) {
  for (std::size_t end = folder.find(kSep, 1); end != std::string::npos; end = folder.find(kSep, end + 1)) {
    const std::string part = folder.substr(0, end);
    if (::mkdir(part.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST)
      return cannotMake(folder, errno == ENOSPC || errno == EDQUOT ? ErrorKind::NoRoom : ErrorKind::Failed,
                        std::strerror(errno));
  }
  if (!folderExists(folder)) return cannotMake(folder, ErrorKind::Failed, "something that is not a folder is in the way");
  return {};
}

}  // namespace

XdgEnvironment XdgEnvironment::FromProcess() {
  return {homeFolder(), environmentValue("XDG_CONFIG_HOME"), environmentValue("XDG_STATE_HOME"),
          environmentValue("XDG_CACHE_HOME")};
}

bool IsInstalledProgramFolder(const std::string& programFolder) {
  return entryExists(joinPath(programFolder, kInstallMarker)) || ::access(programFolder.c_str(), W_OK) != 0;
}

ProgramPlaces FindProgramPlaces(const std::string& programFolder, const XdgEnvironment& env) {
  const std::string program = withTrailingSep(programFolder);
  if (!IsInstalledProgramFolder(program)) return {program, program, program, program, false};
  return {program, baseFolder(env.configHome, env.home, ".config/") + kOwnFolder,
          baseFolder(env.stateHome, env.home, ".local/state/") + kOwnFolder,
          baseFolder(env.cacheHome, env.home, ".cache/") + kOwnFolder, true};
}

Status MakeProgramPlaces(const ProgramPlaces& places) {
  if (!places.installed) return {};
  for (const std::string* folder : {&places.settings, &places.state, &places.scratch})
    if (Status made = makeFolder(*folder); !made) return made;
  return {};
}

}  // namespace fdk
