#include "core/launch/engines.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/store/settings.h"

namespace fdk {

namespace {

using F = EngineFamily;

constexpr KnownEngine kEngines[] = {
    {"quakespasm", Game::Quake1, F::Quakespasm},     {"quakespasm-sdl2", Game::Quake1, F::Quakespasm},
    {"vkquake", Game::Quake1, F::Quakespasm},        {"ironwail", Game::Quake1, F::Quakespasm},
    {"darkplaces", Game::Quake1, F::DarkPlaces},     {"darkplaces-sdl", Game::Quake1, F::DarkPlaces},
    {"darkplaces-glx", Game::Quake1, F::DarkPlaces}, {"ezquake", Game::Quake1, F::Other},
    {"fteqw", Game::Quake1, F::Other},               {"tyr-quake", Game::Quake1, F::Other},
    {"tyr-glquake", Game::Quake1, F::Other},         {"joequake", Game::Quake1, F::Other},
    {"yquake2", Game::Quake2, F::Yamagi},            {"quake2", Game::Quake2, F::Yamagi},
    {"q2pro", Game::Quake2, F::Other},               {"vkq2", Game::Quake2, F::Other},
};

constexpr const char* kBaseArgumentChoices[] = {"", "-basedir", "-datadir"};

// Distributions put games outside the folders of an ordinary user's PATH.
constexpr const char* kGamesFolder = "/usr/games";

// A regular file (a link is followed) that this user may run.
bool isExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> searchFolders(std::string_view pathVariable) {
  std::vector<std::string> folders;
  for (std::size_t start = 0; start <= pathVariable.size();) {
    std::size_t end = pathVariable.find(':', start);
    if (end == std::string_view::npos) end = pathVariable.size();
    const std::string folder(pathVariable.substr(start, end - start));
    // An empty entry means the working folder to a shell; a launcher has none worth searching.
    if (isAbsolutePath(folder)) folders.push_back(withTrailingSep(folder));
    start = end + 1;
  }
  folders.push_back(withTrailingSep(kGamesFolder));
  return folders;
}

std::vector<std::string> executablesIn(const std::string& folder) {
  std::vector<std::string> found;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string path = withTrailingSep(folder) + it->path().filename().string();
    if (isExecutableFile(path)) found.push_back(path);
  }
  std::sort(found.begin(), found.end());
  return found;
}

const char* baseArgumentOf(const std::string& program, Game game) {
  const std::optional<EngineFamily> family = FamilyOf(program, game);
  return family ? BaseArgumentFor(*family) : "";
}

}  // namespace

std::span<const KnownEngine> KnownEngines() { return kEngines; }

const char* BaseArgumentFor(EngineFamily family) {
  switch (family) {
    case F::Quakespasm:
    case F::DarkPlaces: return "-basedir";
    case F::Yamagi: return "-datadir";
    case F::Other: break;
  }
  return "";
}

std::span<const char* const> BaseArgumentChoices() { return kBaseArgumentChoices; }

std::optional<EngineFamily> FamilyOf(std::string_view program, Game game) {
  const std::string name = fileNamePart(program);
  for (const KnownEngine& engine : kEngines)
    if (engine.game == game && name == engine.name) return engine.family;
  return std::nullopt;
}

std::vector<std::string> DetectEngines(Game game, std::string_view pathVariable, const std::string& gameFolder) {
  std::vector<std::string> found;
  std::set<std::string> offered;
  auto offer = [&](const std::string& path) {
    if (offered.insert(path).second) found.push_back(path);
  };
  for (const std::string& folder : searchFolders(pathVariable))
    for (const KnownEngine& engine : kEngines)
      if (engine.game == game && isExecutableFile(folder + engine.name)) offer(folder + engine.name);
  if (!gameFolder.empty())
    for (const std::string& path : executablesIn(gameFolder)) offer(path);
  return found;
}

void ChooseDetectedEngine(GameSettings& g, Game game, const std::string& path) {
  g.EXE = path;
  g.BaseArg = baseArgumentOf(path, game);
}

void ChoosePickedProgram(GameSettings& g, Game game, const std::string& picked) {
  const std::string folder = folderPart(picked);
  const bool distributions = FamilyOf(picked, game).has_value() && folder != withTrailingSep(g.Path) &&
                             !BaseFolderOnDisk(folder, game);
  if (distributions) {
    g.EXE = picked;
  } else {
    g.EXE = fileNamePart(picked);
    g.Path = folder;
  }
  g.BaseArg = baseArgumentOf(picked, game);
}

}  // namespace fdk
