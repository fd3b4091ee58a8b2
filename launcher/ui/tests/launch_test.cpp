// Pressing a start button: the stand-in game must be started exactly as the game would be.
#include <gtest/gtest.h>

#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "core/content/maps.h"
#include "core/launch/commandpreview.h"
#include "core/store/ini.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;

namespace {
struct LaunchRun : Launcher {
  GameTree tree{"quake/", "quake two/"};  // a blank in the folder must not matter
  std::string q1 = tree.quake().game;
  std::string q2 = tree.quake2().game;
  LaunchRun() {
    tree.withBaseFolders();
    std::filesystem::copy_file(FRAGDOCK_STANDIN, q1 + "quake");
    std::filesystem::copy_file(FRAGDOCK_STANDIN, q2 + "quake2");
    tree.write("cfgs1/lan/config.cfg", "name lanplayer\r\n");
    tree.write("cfgs1/lan/sub/skip.cfg", "no");
    EXPECT_TRUE(
        tree.archive("mods2/arena.zip", {{"arena/game.so", "arena game"}, {"baseq2/maps/arena1.bsp", "map"}}).ok());
    tree.write("cfgs2/duel/autoexec.cfg", "bind x");
    Uvars v = VarsIn(tree, prog.folder());
    v.q1.EXE = "quake";
    v.q1.ACFG = "lan";
    v.q2.EXE = "quake2";
    v.q2.ACFG = "duel";
    v.q2.cddirb = "/mnt/cd";
    EXPECT_TRUE(SaveSettings(v).ok());
  }
  void press(int page, const char* button) {
    auto* b = hub->pages[page]->findChild<QPushButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
  }
  std::string launched(const std::string& folder) {
    std::string log = folder + "standin-launch.txt";
    // The stand-in has written all it writes once it has ended.
    WaitFor([&] { return std::filesystem::exists(log) && ctx.processes.runningCount() == 0; }, 5000);
    std::ifstream in(log);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  IniFile savedIni() {
    IniFile ini = IniFile::load(prog.file("Fragdock.ini")).value();
    return ini;
  }
};
}  // namespace

TEST(Launch, QuakeStartsTheGameInItsFolderAndCloses) {
  LaunchRun r;
  ASSERT_TRUE(r.start());
  r.ctx.vars.q1.CmdLine = "+skill 3";
  r.press(Tfhub::Q1Maps, "bq1go1");  // any Quake page's start button
  std::string expected = "folder=" + r.q1.substr(0, r.q1.size() - 1) +
                         "\narg=-nojoy\narg=-winmem\narg=10\narg=+exec\narg=q.cfg\narg=+skill\narg=3\n";
  EXPECT_EQ(r.launched(r.q1), expected);
  EXPECT_EQ(r.tree.read("quake/id1/q.cfg"),
            "deathmatch 1\r\nnoexit 2\r\npausable 0\r\nhostname fragdock\r\nfraglimit 15\r\n");
  EXPECT_EQ(r.tree.read("quake/id1/config.cfg"), "name lanplayer\r\n");
  EXPECT_FALSE(r.tree.exists("quake/id1/skip.cfg"));
  EXPECT_FALSE(r.hub->isVisible());
  EXPECT_EQ(r.savedIni().read("Quake 1", "CmdLine"), "+skill 3");
  EXPECT_TRUE(r.warnings.isEmpty());
}

TEST(Launch, QuakeTwoWithModAndCdFolder) {
  LaunchRun r;
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2mod = "arena";
  r.ctx.vars.q2.Dedicated = true;
  r.ctx.vars.q2.Dedicatedb = 8;
  r.press(Tfhub::Q2Stuff, "bq2go1");
  std::string expected = "folder=" + r.q2.substr(0, r.q2.size() - 1) +
                         "\narg=+set\narg=dedicated\narg=8\narg=+set\narg=game\narg=arena\narg=+exec\narg=q.cfg"
                         "\narg=+set\narg=cddir\narg=/mnt/cd\n";
  EXPECT_EQ(r.launched(r.q2), expected);
  EXPECT_EQ(r.tree.read("quake two/baseq2/q.cfg"),
            "deathmatch 1\r\nhostname fragdock\r\nfraglimit 15\r\nmap guer\r\ndmflags 16400\r\n");
  EXPECT_EQ(r.tree.read("quake two/baseq2/autoexec.cfg"), "bind x");
  EXPECT_EQ(r.tree.read("quake two/arena/autoexec.cfg"), "bind x");
  EXPECT_EQ(r.tree.read("quake two/arena/game.so"), "arena game");
  EXPECT_TRUE(r.questions.isEmpty());
  EXPECT_FALSE(r.hub->isVisible());
}

TEST(Launch, MissingExecutableKeepsTheLauncherOpen) {
  LaunchRun r;
  ASSERT_TRUE(r.start());
  std::string before = r.prog.read("Fragdock.ini");
  r.ctx.vars.q1.EXE = "glquake";
  r.press(Tfhub::Info, "bq1go1");
  ASSERT_EQ(r.warnings.size(), 1);
  EXPECT_TRUE(r.warnings[0].contains("glquake"));
  EXPECT_TRUE(r.warnings[0].contains(QString::fromStdString(r.q1)));
  EXPECT_TRUE(r.hub->isVisible());
  EXPECT_EQ(r.ctx.vars.q1.EXE, "glquake") << "nothing the user set is lost";
  EXPECT_EQ(r.prog.read("Fragdock.ini"), before) << "nothing saved yet: the window is still open";
  r.hub->close();
  EXPECT_EQ(r.savedIni().read("Quake 1", "EXE"), "glquake");
}

TEST(Launch, QuakeTwoModWithoutArchiveIsRefusedWithAMessage) {
  LaunchRun r;
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2mod = "ctf";
  r.press(Tfhub::Q2Mod, "bq2go1");
  ASSERT_EQ(r.warnings.size(), 1);
  EXPECT_TRUE(r.warnings[0].contains("ctf.zip"));
  EXPECT_TRUE(r.hub->isVisible());
  EXPECT_FALSE(r.tree.exists("quake two/standin-launch.txt"));
  EXPECT_FALSE(r.tree.exists("quake two/baseq2/q.cfg"));
}

TEST(Launch, AMistypedGameFolderIsReportedBeforeAnythingIsWritten) {
  LaunchRun r;
  ASSERT_TRUE(r.start());
  r.ctx.vars.q1.Path = r.tree.folder() + "qauke/";
  r.press(Tfhub::Q1Stuff, "bq1go1");
  ASSERT_EQ(r.warnings.size(), 1);
  EXPECT_TRUE(r.warnings[0].contains("qauke/ does not exist")) << r.warnings[0].toStdString();
  EXPECT_FALSE(r.tree.exists("qauke"));
  EXPECT_TRUE(r.hub->isVisible());

  std::filesystem::remove_all(r.q2 + "baseq2");
  r.press(Tfhub::Q2Stuff, "bq2go1");
  ASSERT_EQ(r.warnings.size(), 2);
  EXPECT_TRUE(r.warnings[1].contains("baseq2")) << r.warnings[1].toStdString();
  EXPECT_FALSE(r.tree.exists("quake two/baseq2"));
  EXPECT_FALSE(r.tree.exists("quake two/standin-launch.txt"));
  EXPECT_TRUE(r.hub->isVisible());
  r.hub->close();
  EXPECT_EQ(r.savedIni().read("Quake 1", "Path"), r.tree.folder() + "qauke/") << "every setting kept";
}

TEST(Launch, ConfigSetFilesLeftOutAreToldOnceAndTheGameStillStarts) {
  LaunchRun r;
  r.tree.write("private/passwd", "secret");
  std::filesystem::create_symlink(r.tree.file("private/passwd"), r.tree.file("cfgs1/lan/a.cfg"));
  std::filesystem::create_symlink(r.tree.file("private/passwd"), r.tree.file("cfgs1/lan/b.cfg"));
  ASSERT_TRUE(r.start());
  r.press(Tfhub::Q1Stuff, "bq1go1");
  ASSERT_EQ(r.warnings.size(), 1);
  EXPECT_TRUE(r.warnings[0].contains("a.cfg") && r.warnings[0].contains("b.cfg"));
  EXPECT_FALSE(r.tree.exists("quake/id1/a.cfg"));
  EXPECT_EQ(r.tree.read("quake/id1/config.cfg"), "name lanplayer\r\n");
  EXPECT_NE(r.launched(r.q1), "");
}

TEST(Launch, TheChosenModIsInstalledWithTheProgressWindowAndAsksOnceAboutExistingFiles) {
  LaunchRun r;
  r.tree.write("quake two/arena/game.so", "the player's own build");
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2mod = "arena";
  r.press(Tfhub::Q2Mod, "bq2go1");
  EXPECT_EQ(r.questions, QStringList{"A file of the MOD already exists! Continue extraction?"});
  EXPECT_EQ(r.tree.read("quake two/arena/game.so"), "the player's own build") << "never replaced";
  EXPECT_EQ(r.tree.read("quake two/baseq2/maps/arena1.bsp"), "map") << "what is missing is still installed";
  EXPECT_EQ(r.fbar->ltbar->text(), "Processing MOD");
  EXPECT_EQ(r.fbar->lbar->text(), "13 / 13");
  EXPECT_EQ(r.fbar->ibar->width(), 350);
  EXPECT_FALSE(r.fbar->isVisible());
  EXPECT_NE(r.launched(r.q2).find("arg=game\narg=arena\n"), std::string::npos);
}

TEST(Launch, NoModChosenShowsNoProgressWindow) {
  LaunchRun r;
  ASSERT_TRUE(r.start());
  r.press(Tfhub::Q2Stuff, "bq2go1");
  EXPECT_EQ(r.fbar->ltbar->text(), "") << "the progress window never came up";
  EXPECT_TRUE(r.questions.isEmpty());
  EXPECT_EQ(r.launched(r.q2).find("arg=game"), std::string::npos);
}

TEST(Launch, AChosenMapAndModAreInstalledAndMapsLstNamesTheStartMap) {
  LaunchRun r;
  r.tree.write("maps2/arena2.zip", "");
  ASSERT_TRUE(WriteArchive(r.tree.file("maps2/arena2.zip"), {{"baseq2/maps/arena2.bsp", "the map"}}).ok());
  r.tree.write("quake two/baseq2/maps/q2dm1.bsp", "installed before");
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2maps.available = {"arena2"};
  r.ctx.vars.q2maps.installed = {"q2dm1"};
  MoveMaps(r.ctx.vars.q2maps.available, r.ctx.vars.q2maps.chosen, {0});
  r.ctx.vars.q2mod = "arena";
  r.ctx.vars.q2.map = true;
  r.ctx.vars.q2.mapb = "arena2";
  r.ctx.vars.q2.cmaplist = true;
  r.press(Tfhub::Q2Maps, "bq2go1");
  EXPECT_EQ(r.tree.read("quake two/baseq2/maps/arena2.bsp"), "the map");
  EXPECT_EQ(r.tree.read("quake two/arena/game.so"), "arena game");
  EXPECT_EQ(r.tree.read("quake two/arena/maps.lst"), "q2dm1 \"q2dm1\"\r\narena2 \"arena2\"\r\narena1 \"arena1\"\r\n")
      << "installed, chosen, then the MOD's maps, into the folder the MOD runs from";
  EXPECT_NE(r.tree.read("quake two/baseq2/q.cfg").find("map arena2\r\n"), std::string::npos);
  EXPECT_NE(r.launched(r.q2).find("arg=game\narg=arena\narg=+exec\narg=q.cfg"), std::string::npos);
}

TEST(Launch, QuakeListsTheGameFolderBeforeItInstallsAnything) {
  LaunchRun r;
  r.tree.writeFiles(
      {{"quake/id1/pak0.pak", "PACK"}, {"quake/id1/maps/e1m1.bsp", "map"}, {"quake/id1/.hidden/skip.txt", "hidden"}});
  ASSERT_TRUE(r.tree.archive("maps1/dmx.zip", {{"id1/maps/dmx.bsp", "chosen map"}}).ok());
  using Kind = ArchiveEntry::Kind;
  const std::vector<ArchiveEntry> red = {{"qw/", "", Kind::Folder},
                                         {"qw/skins/", "", Kind::Folder},
                                         {"qw/skins/red.pcx", "red skin"}};
  ASSERT_TRUE(r.tree.archive("skins1/red.zip", red).ok());
  ASSERT_TRUE(r.start());
  r.ctx.vars.q1maps.chosen = {"dmx"};
  r.ctx.vars.selectedSkins = {"red"};  // installed whether QuakeWorld is on or not
  r.press(Tfhub::Q1Maps, "bq1go1");
  r.launched(r.q1);
  EXPECT_EQ(r.tree.read("quake/id1/maps/dmx.bsp"), "chosen map");
  EXPECT_EQ(r.tree.read("quake/qw/skins/red.pcx"), "red skin");
  const std::string q = r.q1;
  EXPECT_EQ(r.prog.read("list.v"), q + "\r\n" + q + "id1/\r\n" + q + "id1/maps/\r\n");
  EXPECT_EQ(r.prog.read("list.f"), q + "quake\r\n" + q + "id1/pak0.pak\r\n" + q + "id1/maps/e1m1.bsp\r\n")
      << "the map, the skin, the config set and q.cfg came after the snapshot";
}

TEST(Launch, QuakeTwoWithoutTheCleanUpToolWritesEmptyLists) {
  LaunchRun r;
  r.prog.write("list.v", "from an earlier launch\r\n");
  r.prog.write("list.f", "from an earlier launch\r\n");
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2.Terminatr = false;
  r.press(Tfhub::Q2Mod, "bq2go1");
  r.launched(r.q2);
  EXPECT_TRUE(r.prog.exists("list.v"));
  EXPECT_EQ(r.prog.read("list.v"), "");
  EXPECT_EQ(r.prog.read("list.f"), "");
}

// The clean-up tool works from the launch's record, not from the lists.
TEST(Launch, ListsThatCannotBeWrittenAreToldAndTheCleanUpToolStillRuns) {
  LaunchRun r;
  // A folder where list.v belongs cannot be replaced by a file.
  std::filesystem::create_directories(r.prog.path() / "list.v" / "in the way");
  r.prog.write("term", "#!/bin/sh\ntouch term-ran\n");
  std::filesystem::permissions(r.prog.file("term"), std::filesystem::perms::owner_all);
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2.Terminatr = true;
  r.press(Tfhub::Q2Mod, "bq2go1");
  r.launched(r.q2);
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_TRUE(r.warnings[0].contains(QStringLiteral("list.v"))) << r.warnings[0].toStdString();
  EXPECT_TRUE(WaitFor([&] { return r.prog.exists("term-ran"); }, 10000));
}

// The distribution's Quake 2 engine, chosen in the setup dialog: it is given
// -datadir and the game folder right after its name, and the Stuff page showed
// exactly that command (a blank in the folder quoted) before Start.
TEST(Launch, StartRunsExactlyTheCommandTheStuffPageShows) {
  LaunchRun r;
  const std::string engine = r.tree.folder() + "bin/yquake2";
  std::filesystem::create_directories(r.tree.folder() + "bin");
  std::filesystem::copy_file(FRAGDOCK_STANDIN, engine);
  r.create();
  r.setup->searchPath = r.tree.folder() + "bin";
  ASSERT_TRUE(r.start());
  r.ctx.vars.q2mod = "arena";
  r.setup->fillEngines();
  r.setup->cq2engines->setCurrentIndex(r.setup->cq2engines->findText(QString::fromStdString(engine)));
  emit r.setup->cq2engines->activated(r.setup->cq2engines->currentIndex());
  ASSERT_EQ(r.ctx.vars.q2.EXE, engine);

  r.hub->TabSet->setCurrentIndex(Tfhub::Q2Stuff);
  auto* preview = Find<QLineEdit>(r.hub->pages[Tfhub::Q2Stuff], "ecmdpreview");
  ASSERT_TRUE(WaitFor([&] { return preview->isVisible(); }));
  const std::string shown = preview->text().toStdString();
  r.press(Tfhub::Q2Stuff, "bq2go1");
  const std::string log = r.launched(r.q2);

  const std::string folder = r.q2.substr(0, r.q2.size() - 1);
  std::vector<std::string> words{engine};
  for (std::size_t at = log.find("arg="); at != std::string::npos; at = log.find("arg=", at + 1))
    words.push_back(log.substr(at + 4, log.find('\n', at) - at - 4));
  ASSERT_GE(words.size(), 3u) << log;
  EXPECT_EQ(words[1], "-datadir");
  EXPECT_EQ(words[2], folder);
  EXPECT_EQ(shown, ShellCommandText(words));
  EXPECT_NE(shown.find("'" + folder + "'"), std::string::npos) << shown;
}
