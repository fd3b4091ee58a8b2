#include "core/content/maps.h"

#include <gtest/gtest.h>

#include "testing/gamesettings.h"

using namespace fdk;

namespace {
struct MapFolders {
  GameTree tree;
  GameSettings g = SettingsIn(tree.quake());
  Tzipform zip;
  void archive(const std::string& name, const std::vector<ArchiveEntry>& entries) {
    ASSERT_TRUE(tree.archive("maps1/" + name, entries).ok());
  }
};
}  // namespace

TEST(MapLists, AvailableAndInstalledNamesSortedWithoutCase) {
  MapFolders m;
  m.archive("dm7.zip", {{"id1/maps/dm7.bsp", "x"}});
  m.archive("DM8.ZIP", {{"id1/maps/dm8.bsp", "x"}});
  m.archive("Arena.zip", {{"id1/maps/arena.bsp", "x"}});
  m.tree.write("maps1/readme.txt", "not an archive");
  EXPECT_EQ(AvailableMaps(m.g), (std::vector<std::string>{"Arena", "dm7", "DM8"}));
  m.tree.write("quake/ID1/Maps/e1m1.bsp", "x");
  m.tree.write("quake/ID1/Maps/DM3.BSP", "x");
  m.tree.write("quake/ID1/Maps/notes.txt", "x");
  EXPECT_EQ(InstalledMaps(m.g, Game::Quake1), (std::vector<std::string>{"DM3", "e1m1"})) << "ID1/Maps is id1/maps";
  EXPECT_TRUE(InstalledMaps(m.g, Game::Quake2).empty());
  EXPECT_EQ(InstalledMapFiles(m.g, Game::Quake1, {"e1m1"}), (std::vector<std::string>{m.g.Path + "ID1/Maps/e1m1.bsp"}));
}

TEST(MapLists, MovingSelectedNamesKeepsTheTargetSorted) {
  std::vector<std::string> available{"a", "dm7", "dm8", "z"};
  std::vector<std::string> chosen{"b"};
  MoveMaps(available, chosen, {2, 1});
  EXPECT_EQ(available, (std::vector<std::string>{"a", "z"}));
  EXPECT_EQ(chosen, (std::vector<std::string>{"b", "dm7", "dm8"}));
  MoveMaps(chosen, available, {0, 7});  // an index past the end is ignored
  EXPECT_EQ(available, (std::vector<std::string>{"a", "b", "z"}));
  MoveMaps(chosen, available, {});
  EXPECT_EQ(chosen, (std::vector<std::string>{"dm7", "dm8"}));
}

TEST(MapLists, DescriptionFromTheArchivesTextEntry) {
  MapFolders m;
  m.archive("dm7.zip", {{"id1/maps/dm7.bsp", "x"}, {"maps/DM7.TXT", "first"}, {"docs/dm7.txt", "The last one wins.\r\n"}});
  m.archive("dm8.zip", {{"id1/maps/dm8.bsp", "x"}, {"readme.txt", "not its description"}});
  m.tree.write("work/keep", "");
  EXPECT_EQ(MapDescription(m.g, "dm7", m.zip, m.tree.folder() + "work/"), "The last one wins.\r\n");
  EXPECT_EQ(MapDescription(m.g, "dm8", m.zip, m.tree.folder() + "work/"), "no DM8.txt file in ZIP");
  EXPECT_EQ(MapDescription(m.g, "gone", m.zip, m.tree.folder() + "work/"), "no GONE.txt file in ZIP");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m.tree.file("work")), {}), 1)
      << "nothing is left behind";
}
