#include "core/install/mapinstall.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/work/progress.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

// Records the first pass's running totals and the bar after each archive.
struct Recorder : InstallHost {
  ProgressCounters counters;
  std::vector<std::string> titles, texts;
  std::vector<int> widths;
  void begin(const std::string& title) override { titles.push_back(title); }
  void counted(std::uint64_t bytes) override {
    counters.add(false, bytes);
    texts.push_back(counters.text());
  }
  void secondPass() override {}
  void done(std::uint64_t bytes) override {
    counters.add(true, bytes);
    widths.push_back(counters.barWidth());
  }
  bool ask(const std::string&) override { return false; }
  void end() override {}
};

// A map archive holding one map of `size` bytes, compressed or stored.
void mapArchive(const TempDir& dir, const std::string& name, std::size_t size, bool compressed = false) {
  const std::string path = dir.write("maps/" + name + ".zip", "");
  const std::string entry = "id1/maps/" + name + ".bsp";
  ASSERT_TRUE(WriteArchive(path, {{entry, std::string(size, 'm'), ArchiveEntry::Kind::File, compressed}}).ok());
}

}  // namespace

TEST(MapInstall, TwoChosenMapsCountWhatTheyUnpackToAndNeverReplaceAFile) {
  TempDir dir;
  GameSettings g;
  g.Path = dir.folder() + "quake/";
  g.Maps = dir.folder() + "maps/";
  mapArchive(dir, "dm7", 1000);
  mapArchive(dir, "dm8", 3000);
  dir.write("quake/ID1/MAPS/DM8.BSP", "the player's");
  Tzipform zip;
  Recorder host;
  Report report = InstallChosenMaps(g, {"dm7", "dm8", "gone"}, zip, host);
  EXPECT_EQ(host.titles, std::vector<std::string>{"Processing Maps"});
  EXPECT_EQ(host.texts, (std::vector<std::string>{"0 / 1000", "0 / 4000"}));
  EXPECT_EQ(host.widths, (std::vector<int>{88, 350})) << "a kept file still counts as done";
  EXPECT_EQ(dir.read("quake/ID1/MAPS/dm7.bsp"), std::string(1000, 'm')) << "into the existing ID1/MAPS";
  EXPECT_EQ(dir.read("quake/ID1/MAPS/DM8.BSP"), "the player's");
  ASSERT_EQ(report.size(), 1u) << report.text();
  EXPECT_EQ(report.entries()[0].what, "gone") << "a missing archive is named; the others still install";
}

// A map that packs small counts at its full size, so the bar follows the writing.
TEST(MapInstall, AWellCompressedMapCountsTheBytesItWrites) {
  TempDir dir;
  GameSettings g;
  g.Path = dir.folder() + "quake/";
  g.Maps = dir.folder() + "maps/";
  mapArchive(dir, "big", 1 << 20, true);
  ASSERT_LT(std::filesystem::file_size(dir.file("maps/big.zip")), 1u << 16);
  Tzipform zip;
  Recorder host;
  EXPECT_TRUE(InstallChosenMaps(g, {"big"}, zip, host).empty());
  EXPECT_EQ(host.texts, (std::vector<std::string>{"0 / 1048576"}));
  EXPECT_EQ(host.counters.text(), "1048576 / 1048576");
  EXPECT_EQ(std::filesystem::file_size(dir.file("quake/id1/maps/big.bsp")), 1u << 20);
}

TEST(MapInstall, NothingChosenShowsNothing) {
  TempDir dir;
  GameSettings g;
  g.Path = dir.folder();
  Tzipform zip;
  Recorder host;
  EXPECT_TRUE(InstallChosenMaps(g, {}, zip, host).empty());
  EXPECT_TRUE(host.titles.empty());
}

TEST(MapsList, LinesPlaceAndSameFileTwice) {
  TempDir dir;
  Uvars vars;
  vars.q2.Path = dir.folder();
  dir.write("baseq2/pak0.pak", "");
  EXPECT_EQ(MapsListText({"q2dm1", "base1"}), "q2dm1 \"q2dm1\"\r\nbase1 \"base1\"\r\n");
  ASSERT_TRUE(WriteMapsList(vars, {"q2dm1"}).ok());
  const std::string first = dir.read("baseq2/maps.lst");
  EXPECT_EQ(first, "q2dm1 \"q2dm1\"\r\n");
  ASSERT_TRUE(WriteMapsList(vars, {"q2dm1"}).ok());
  EXPECT_EQ(dir.read("baseq2/maps.lst"), first);
  vars.q2mod = "ctf";
  vars.modGameFolder = "ctf";
  dir.write("ctf/game.so", "");
  ASSERT_TRUE(WriteMapsList(vars, {}).ok());
  EXPECT_EQ(dir.read("ctf/maps.lst"), "") << "an empty list gives an empty file";
  vars.modGameFolder.clear();  // a MOD of maps only runs from baseq2/
  EXPECT_EQ(MapsListPath(vars), dir.folder() + "baseq2/maps.lst");
}
