#include "core/games/games.h"

#include "base/pathsplit.h"

namespace fdk {

namespace {

const GameTraits kTraits[] = {
    {Game::Quake1, "Quake", "id1/", '1', true},
    {Game::Quake2, "Quake 2", "baseq2/", '2', false},
};

}  // namespace

const GameTraits& TraitsOf(Game game) { return kTraits[game == Game::Quake1 ? 0 : 1]; }

bool IsPlainFolderName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find(kSep) == std::string::npos &&
         name.find('\\') == std::string::npos;
}

std::string BaseFolderName(Game game) {
  std::string base = TraitsOf(game).baseFolder;
  base.pop_back();  // the trailing separator
  return base;
}

}  // namespace fdk
