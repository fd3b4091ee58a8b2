#pragma once
// What the engines look for in a game folder by name: the base folder and the
// numbered PAK files, both in lower case.
#include <string>
#include <string_view>
#include <vector>

#include "core/games/games.h"

namespace fdk {

// A file named "pak<number>.pak" in any letter case.
struct PakFile {
  std::string name;  // as on disk
  int number;
};
using PakFiles = std::vector<PakFile>;

// The numbered PAK files of a folder in any spelling, by number (two spellings
// of one number both count). Numbers of more than six digits are no PAK of a game.
PakFiles PakFilesIn(const std::string& folder);

// Whether the PAK archive at path holds member, in any letter case. An archive
// that cannot be read holds nothing.
bool PakHolds(const std::string& path, std::string_view member);

}  // namespace fdk
