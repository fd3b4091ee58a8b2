#include "core/install/mapinstall.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/install/tests/recordinghost.h"
#include "testing/endsignal.h"
#include "testing/gamesettings.h"

using namespace fdk;

namespace {

using testhost::RecordingHost;

struct MapTree {
  GameTree tree;
  GameSettings quake = SettingsIn(tree.quake());
  Tzipform zip;
  RecordingHost host;

  // A map archive holding one map of `size` bytes, compressed or stored.
  void archive(const std::string& name, std::size_t size, bool compressed = false) {
    const std::string entry = "id1/maps/" + name + ".bsp";
    ASSERT_TRUE(
        tree.archive("maps1/" + name + ".zip", {{entry, std::string(size, 'm'), ArchiveEntry::Kind::File, compressed}})
            .ok());
  }
  Report install(const std::vector<std::string>& chosen) { return InstallChosenMaps(quake, chosen, zip, host).leftOut; }
};

}  // namespace

TEST(MapInstall, TwoChosenMapsCountWhatTheyUnpackToAndNeverReplaceAFile) {
  MapTree t;
  t.archive("dm7", 1000);
  t.archive("dm8", 3000);
  t.tree.write("quake/ID1/MAPS/DM8.BSP", "the player's");
  Report report = t.install({"dm7", "dm8", "gone"});
  EXPECT_EQ(t.host.calls, (std::vector<std::string>{"begin Processing Maps", "counted 1000", "counted 3000",
                                                    "second pass", "done 1000", "done 3000", "end"}))
      << "a kept file still counts as done";
  EXPECT_EQ(t.tree.read("quake/ID1/MAPS/dm7.bsp"), std::string(1000, 'm')) << "into the existing ID1/MAPS";
  EXPECT_EQ(t.tree.read("quake/ID1/MAPS/DM8.BSP"), "the player's");
  ASSERT_EQ(report.size(), 1u) << report.text();
  EXPECT_EQ(report.entries()[0].what, "gone") << "a missing archive is named; the others still install";
}

// A map that packs small counts at its full size, so the bar follows the writing.
TEST(MapInstall, AWellCompressedMapCountsTheBytesItWrites) {
  MapTree t;
  t.archive("big", 1 << 20, true);
  ASSERT_LT(std::filesystem::file_size(t.tree.quake().maps + "big.zip"), 1u << 16);
  EXPECT_TRUE(t.install({"big"}).empty());
  EXPECT_EQ(t.host.only("counted"), std::vector<std::string>{"counted 1048576"});
  EXPECT_EQ(t.host.counters.text(), "1048576 / 1048576");
  EXPECT_EQ(std::filesystem::file_size(t.tree.file("quake/id1/maps/big.bsp")), 1u << 20);
}

TEST(MapInstall, NothingChosenShowsNothing) {
  MapTree t;
  EXPECT_TRUE(t.install({}).empty());
  EXPECT_TRUE(t.host.calls.empty());
}

TEST(MapInstall, AGameFolderThatCannotBeOpenedShowsNothingAndIsReported) {
  MapTree t;
  t.quake.Path = t.tree.write("quake-file", "a file where the game folder should be") + "/";
  t.archive("dm7", 10);
  Report report = t.install({"dm7"});
  EXPECT_TRUE(t.host.calls.empty());
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report.entries()[0].what, t.quake.Path);
  EXPECT_EQ(report.entries()[0].why.rfind("no map was installed: ", 0), 0u) << report.text();
}

TEST(MapInstall, AskedToEndTheRunTellsWhatItLeftOnceAndEndsTheWindow) {
  MapTree t;
  for (const char* name : {"dm7", "dm8", "dm9"}) t.archive(name, 10);
  EXPECT_TRUE(InChildNotingSigterm([&] {
    RecordingHost host;
    host.afterDone = SigtermOnce;
    const Report report = InstallChosenMaps(t.quake, {"dm7", "dm8", "dm9"}, t.zip, host).leftOut;
    const bool toldOnce = report.size() == 1 && report.entries()[0].what == "dm8" &&
                          report.entries()[0].why.find("nor what follows it") != std::string::npos;
    return SigtermCame() && toldOnce && host.oneRunOrNone();
  })) << "the rest was not told once, or the window was not ended";
  EXPECT_TRUE(t.tree.exists("quake/id1/maps/dm7.bsp"));
  EXPECT_FALSE(t.tree.exists("quake/id1/maps/dm8.bsp"));
  EXPECT_FALSE(t.tree.exists("quake/id1/maps/dm9.bsp"));
}

TEST(MapsList, LinesPlaceAndSameFileTwice) {
  GameTree tree;
  Uvars vars = VarsIn(tree);
  tree.write("quake2/baseq2/pak0.pak", "");
  EXPECT_EQ(MapsListText({"q2dm1", "base1"}), "q2dm1 \"q2dm1\"\r\nbase1 \"base1\"\r\n");
  ASSERT_TRUE(WriteMapsList(vars, {"q2dm1"}).ok());
  const std::string first = tree.read("quake2/baseq2/maps.lst");
  EXPECT_EQ(first, "q2dm1 \"q2dm1\"\r\n");
  ASSERT_TRUE(WriteMapsList(vars, {"q2dm1"}).ok());
  EXPECT_EQ(tree.read("quake2/baseq2/maps.lst"), first);
  vars.q2mod = "ctf";
  vars.modGameFolder = "ctf";
  tree.write("quake2/ctf/game.so", "");
  ASSERT_TRUE(WriteMapsList(vars, {}).ok());
  EXPECT_EQ(tree.read("quake2/ctf/maps.lst"), "") << "an empty list gives an empty file";
  vars.modGameFolder.clear();  // a MOD of maps only runs from baseq2/
  EXPECT_EQ(MapsListPath(vars), tree.quake2().base + "maps.lst");
}
