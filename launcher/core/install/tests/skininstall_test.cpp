#include "core/install/skininstall.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/install/tests/recordinghost.h"
#include "testing/gamesettings.h"

using namespace fdk;

namespace {

using testhost::RecordingHost;
using Kind = ArchiveEntry::Kind;

struct SkinTree {
  GameTree tree;
  GameSettings quake = SettingsIn(tree.quake());
  Tzipform zip;
  RecordingHost host;

  SkinTree() { tree.write("quake/id1/pak0.pak", ""); }
  void archive(const std::string& file, const std::vector<ArchiveEntry>& entries) {
    ASSERT_TRUE(tree.archive("skins1/" + file, entries).ok());
  }
  Report install(const std::vector<std::string>& selected) {
    return InstallChosenSkins(quake, selected, zip, host).leftOut;
  }
};

const std::vector<ArchiveEntry> kRedInFolders = {{"qw/", "", Kind::Folder},
                                                 {"qw/skins/", "", Kind::Folder},
                                                 {"qw/skins/red.pcx", "new red"}};

}  // namespace

TEST(SkinInstall, KeepsAnExistingSkinInAnyCaseAndPlacesMissingOnesWithoutFolders) {
  struct Case {
    const char* existing;  // below the Quake folder, "" for none
    const char* expectedFile;
    const char* expectedBytes;
  } cases[] = {
      {"", "quake/qw/skins/red.pcx", "new red"},
      {"qw/skins/red.pcx", "quake/qw/skins/red.pcx", "the player's"},
      {"qw/skins/RED.PCX", "quake/qw/skins/RED.PCX", "the player's"},
      {"QW/Skins/red.pcx", "quake/QW/Skins/red.pcx", "the player's"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.existing);
    SkinTree t;
    t.archive("red.zip", kRedInFolders);
    if (*c.existing != '\0') t.tree.write(std::string("quake/") + c.existing, "the player's");
    Report report = t.install({"red"});
    EXPECT_TRUE(report.empty()) << report.text();
    EXPECT_EQ(t.tree.read(c.expectedFile), c.expectedBytes);
    EXPECT_FALSE(t.tree.exists("quake/qw/skins/qw")) << "the archive's folders are not kept";
    EXPECT_FALSE(t.tree.exists("quake/qw/skins/skins"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.tree.path() / "quake"), {}), 2)
        << "id1/ and one qw/ folder only, in whatever case it was";
  }
}

TEST(SkinInstall, CountsEveryEntryInBothPassesAndEndsTheWindow) {
  SkinTree t;
  t.archive("red.zip", kRedInFolders);
  t.archive("BLUE.ZIP", {{"blue.pcx", "blue!"}});
  Report report = t.install({"red", "blue", "red"});
  EXPECT_TRUE(report.empty()) << "the second red finds its file in place: " << report.text();
  EXPECT_TRUE(t.host.oneRunOrNone());
  EXPECT_EQ(t.host.only("begin"), std::vector<std::string>{"begin Processing Skins"});
  EXPECT_EQ(t.host.counters.total(), 7u + 5u + 7u);
  EXPECT_EQ(t.host.counters.done(), t.host.counters.total());
  EXPECT_EQ(t.tree.read("quake/qw/skins/blue.pcx"), "blue!") << "an upper-case archive name is found";
}

// The archive's folders are dropped: the name told is where the skin would
// have gone. A skin installed twice in one run finds its own bytes the second time.
TEST(SkinInstall, AKeptSkinIsNamedByItsPlaceInTheQuakeFolderUnlessItIsTheSame) {
  SkinTree t;
  t.archive("red.zip", kRedInFolders);
  t.archive("blue.zip", {{"blue.pcx", "blue!"}});
  t.tree.write("quake/qw/skins/red.pcx", "the player's");
  const InstallOutcome outcome = InstallChosenSkins(t.quake, {"red", "blue", "blue"}, t.zip, t.host);
  EXPECT_TRUE(outcome.leftOut.empty()) << outcome.leftOut.text();
  EXPECT_EQ(outcome.kept.names(), std::vector<std::string>{"qw/skins/red.pcx"});
}

TEST(SkinInstall, NothingSelectedShowsNothing) {
  SkinTree t;
  EXPECT_TRUE(t.install({}).empty());
  EXPECT_TRUE(t.host.calls.empty()) << "the window is hidden between runs: nothing to end";
  EXPECT_FALSE(t.tree.exists("quake/qw"));
}

TEST(SkinInstall, HostileNamesAreRefusedAndReportedTheRestInstalls) {
  SkinTree t;
  t.archive("evil.zip", {{"../../x.pcx", "up"},
                         {"/tmp/abs.pcx", "abs"},
                         {"qw\\..\\..\\y.pcx", "back"},
                         {"link.pcx", "/etc/passwd", Kind::Link},
                         {"ok.pcx", "fine"}});
  Report report = t.install({"evil"});
  EXPECT_EQ(report.size(), 4u) << report.text();
  EXPECT_EQ(t.tree.read("quake/qw/skins/ok.pcx"), "fine");
  std::vector<std::string> written;
  for (const auto& e : std::filesystem::recursive_directory_iterator(t.tree.path()))
    if (e.is_regular_file() || e.is_symlink())
      written.push_back(std::filesystem::relative(e.path(), t.tree.path()).string());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"quake/id1/pak0.pak", "quake/qw/skins/ok.pcx", "skins1/evil.zip"}));
  EXPECT_FALSE(std::filesystem::exists("/tmp/abs.pcx"));
}

TEST(SkinInstall, MissingAndDamagedArchivesAreReportedTheOthersInstall) {
  SkinTree t;
  t.tree.write("skins1/broken.zip", "PK\x03\x04 not really an archive");
  t.archive("blue.zip", {{"blue.pcx", "blue!"}});
  Report report = t.install({"gone", "broken", "blue"});
  ASSERT_EQ(report.size(), 2u) << report.text();
  EXPECT_EQ(report.entries()[0].what, "gone");
  EXPECT_EQ(report.entries()[1].what, "broken");
  EXPECT_EQ(t.tree.read("quake/qw/skins/blue.pcx"), "blue!");
  EXPECT_TRUE(t.host.oneRunOrNone());
  EXPECT_EQ(t.host.only("counted"), std::vector<std::string>{"counted 5"}) << "only blue could be read";
}

TEST(SkinInstall, AFileWhereQwMustBeRefusesTheWholeInstall) {
  SkinTree t;
  t.archive("blue.zip", {{"blue.pcx", "blue!"}});
  t.tree.write("quake/QW", "not a folder");
  Report report = t.install({"blue"});
  EXPECT_EQ(report.size(), 1u);
  EXPECT_EQ(t.tree.read("quake/QW"), "not a folder");
  EXPECT_TRUE(t.host.calls.empty()) << "nothing shown for an install that cannot start";
}

TEST(SkinInstall, SkinsNeverGoThroughALinkTwinOfTheirFolder) {
  namespace fs = std::filesystem;
  struct Case {
    const char* link;  // below quake/qw/, to a folder outside the game
    const char* realFolder;
  } cases[] = {{"sKins", "SKINS"}, {"skins", "SKINS"}, {"sKins", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link + std::string(c.realFolder ? " beside a real folder" : " alone"));
    SkinTree t;
    t.archive("red.zip", kRedInFolders);
    fs::create_directories(t.tree.file("outside"));
    fs::create_directories(t.tree.file("quake/qw"));
    fs::create_directory_symlink(t.tree.file("outside"), t.tree.file(std::string("quake/qw/") + c.link));
    if (c.realFolder) fs::create_directories(t.tree.file(std::string("quake/qw/") + c.realFolder));
    Report report = t.install({"red"});
    EXPECT_TRUE(fs::is_empty(t.tree.file("outside")));
    if (c.realFolder) {
      EXPECT_TRUE(report.empty()) << report.text();
      EXPECT_EQ(t.tree.read(std::string("quake/qw/") + c.realFolder + "/red.pcx"), "new red");
    } else {
      ASSERT_EQ(report.size(), 1u);
      EXPECT_NE(report.text().find("symbolic link"), std::string::npos) << report.text();
    }
  }
}
