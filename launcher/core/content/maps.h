#pragma once
// The map lists of the Maps pages: the map archives of the map folder
// ("Available Maps"), the maps chosen for the next launch ("Choosen Maps") and
// the maps installed in the game ("Installed Maps"), and what a click on an
// archive shows: the description that ships inside it.
#include <optional>
#include <string>
#include <vector>

#include "core/archive/catalogue.h"
#include "core/store/settings.h"

namespace fdk {

// Every "*.zip" of the game's map folder, without its extension.
std::vector<std::string> AvailableMaps(const GameSettings& g);

// The game's maps folder ("id1/maps/", "baseq2/maps/"), found without regard to
// letter case on the way ("ID1/Maps/" is the same folder); nullopt when there is none.
std::optional<std::string> MapsFolder(const GameSettings& g, Game game);

// Every "*.bsp" of the game's maps folder, without its extension.
std::vector<std::string> InstalledMaps(const GameSettings& g, Game game);

// Moves the names at the selected positions of `from` to `to`, which stays
// sorted; `from` keeps the others in their order.
void MoveMaps(std::vector<std::string>& from, std::vector<std::string>& to, const std::vector<std::size_t>& selected);

// The description box's text for the map archive `name`: the last entry of its
// archive whose name ends in NAME + ".TXT" (letter case ignored), as stored;
// else "no NAME.txt file in ZIP" with the name upper-cased. Read through a
// private folder that is removed again.
std::string MapDescription(const GameSettings& g, const std::string& name, Tzipform& zip,
                           const std::string& workFolder);

// The installed map files for the names: maps folder + name + ".bsp".
std::vector<std::string> InstalledMapFiles(const GameSettings& g, Game game, const std::vector<std::string>& names);

}  // namespace fdk
