#include "core/install/mapinstall.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

#include "core/install/tests/recordinghost.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

using testhost::RecordingHost;

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
  RecordingHost host;
  Report report = InstallChosenMaps(g, {"dm7", "dm8", "gone"}, zip, host);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"begin Processing Maps", "counted 1000", "counted 3000",
                                                  "second pass", "done 1000", "done 3000", "end"}))
      << "a kept file still counts as done";
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
  RecordingHost host;
  EXPECT_TRUE(InstallChosenMaps(g, {"big"}, zip, host).empty());
  EXPECT_EQ(host.only("counted"), std::vector<std::string>{"counted 1048576"});
  EXPECT_EQ(host.counters.text(), "1048576 / 1048576");
  EXPECT_EQ(std::filesystem::file_size(dir.file("quake/id1/maps/big.bsp")), 1u << 20);
}

TEST(MapInstall, NothingChosenShowsNothing) {
  TempDir dir;
  GameSettings g;
  g.Path = dir.folder();
  Tzipform zip;
  RecordingHost host;
  EXPECT_TRUE(InstallChosenMaps(g, {}, zip, host).empty());
  EXPECT_TRUE(host.calls.empty());
}

TEST(MapInstall, AGameFolderThatCannotBeOpenedShowsNothingAndIsReported) {
  TempDir dir;
  GameSettings g;
  g.Path = dir.write("quake", "a file where the game folder should be") + "/";
  g.Maps = dir.folder() + "maps/";
  mapArchive(dir, "dm7", 10);
  Tzipform zip;
  RecordingHost host;
  Report report = InstallChosenMaps(g, {"dm7"}, zip, host);
  EXPECT_TRUE(host.calls.empty());
  ASSERT_EQ(report.size(), 1u);
  EXPECT_EQ(report.entries()[0].what, g.Path);
  EXPECT_EQ(report.entries()[0].why.rfind("no map was installed: ", 0), 0u) << report.text();
}

namespace {

volatile std::sig_atomic_t gAskedToEnd = 0;
void askedToEnd(int) { gAskedToEnd = 1; }

// The launcher's way with SIGTERM: noted, and the program ends in its own time.
struct EndsAfterTheFirstMap : RecordingHost {
  void done(std::uint64_t bytes) override {
    RecordingHost::done(bytes);
    if (gAskedToEnd == 0) ::raise(SIGTERM);
  }
};

}  // namespace

// In a child process: the stop a signal leaves behind lasts for the process.
TEST(MapInstall, AskedToEndTheRunTellsWhatItLeftOnceAndEndsTheWindow) {
  TempDir dir;
  GameSettings g;
  g.Path = dir.folder() + "quake/";
  g.Maps = dir.folder() + "maps/";
  for (const char* name : {"dm7", "dm8", "dm9"}) mapArchive(dir, name, 10);
  const pid_t child = ::fork();
  if (child == 0) {
    struct sigaction own {};
    own.sa_handler = askedToEnd;
    sigemptyset(&own.sa_mask);
    ::sigaction(SIGTERM, &own, nullptr);
    Tzipform zip;
    EndsAfterTheFirstMap host;
    const Report report = InstallChosenMaps(g, {"dm7", "dm8", "dm9"}, zip, host);
    const bool toldOnce = report.size() == 1 && report.entries()[0].what == "dm8" &&
                          report.entries()[0].why.find("nor what follows it") != std::string::npos;
    ::_exit(gAskedToEnd == 1 && toldOnce && host.oneRunOrNone() && host.calls.back() == "end" ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the rest was not told once, or the window was not ended";
  EXPECT_TRUE(dir.exists("quake/id1/maps/dm7.bsp"));
  EXPECT_FALSE(dir.exists("quake/id1/maps/dm8.bsp"));
  EXPECT_FALSE(dir.exists("quake/id1/maps/dm9.bsp"));
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
