// A Quake 2 launch through the real buttons with Use Terminator on: the launch
// installs a chosen map and the config set, the clean-up tool starts, the
// stand-in game plays a moment and saves, and once it has ended the game folder
// is as it was before the launch plus what the game made.
#include <gtest/gtest.h>

#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "core/content/maps.h"
#include "pages/optionswitch.h"
#include "testing/gamesettings.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;
namespace fs = std::filesystem;

namespace {

// The stand-in game reads how to play from its environment, which it inherits
// from the launcher (this test process).
struct PlayerEnvironment {
  PlayerEnvironment() {
    ::setenv("FRAGDOCK_STANDIN_STAY_MS", "500", 1);
    ::setenv("FRAGDOCK_STANDIN_SAVE", "baseq2/save/slot1.sav", 1);
  }
  ~PlayerEnvironment() {
    ::unsetenv("FRAGDOCK_STANDIN_STAY_MS");
    ::unsetenv("FRAGDOCK_STANDIN_SAVE");
  }
};

struct TermLaunchRun : Launcher {
  GameTree tree{"quake/", "quake two/"};
  std::string q2 = tree.quake2().game;
  TermLaunchRun() {
    fs::create_directories(q2 + "baseq2/maps");
    fs::copy_file(FRAGDOCK_STANDIN, q2 + "quake2");
    tree.write("quake two/baseq2/pak0.pak", "pak0");
    tree.write("quake two/baseq2/maps/base1.bsp", "base1");
    tree.write("cfgs2/duel/autoexec.cfg", "bind x");
    EXPECT_TRUE(tree.archive("maps2/arena2.zip", {{"baseq2/maps/arena2.bsp", "the map"}}).ok());
    // The tool lives in the program folder, where the launch starts it.
    fs::copy_file(FRAGDOCK_TERM, prog.folder() + "term");
    Uvars v = VarsIn(tree, prog.folder());
    v.q2.EXE = "quake2";
    v.q2.ACFG = "duel";
    EXPECT_TRUE(SaveSettings(v).ok());
  }
};

}  // namespace

TEST(TermLaunch, AfterTheGameTheFolderIsItsSnapshotPlusTheSave) {
  TermLaunchRun r;
  ASSERT_TRUE(r.start());
  const auto before = FolderContents(r.q2);
  PlayerEnvironment player;

  auto* useterm = r.hub->pages[Tfhub::Q2Stuff]->findChild<OptionSwitch*>("bq2useterm");
  ASSERT_NE(useterm, nullptr);
  ASSERT_FALSE(useterm->value());
  useterm->click();
  ASSERT_TRUE(useterm->value());
  r.ctx.vars.q2maps.available = {"arena2"};
  MoveMaps(r.ctx.vars.q2maps.available, r.ctx.vars.q2maps.chosen, {0});
  auto* go = r.hub->pages[Tfhub::Q2Maps]->findChild<QPushButton*>("bq2go1");
  ASSERT_NE(go, nullptr);
  go->click();
  EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join("\n").toStdString();
  EXPECT_EQ(r.tree.read("quake two/baseq2/maps/arena2.bsp"), "the map") << "installed for the game";

  // term logs one line when it is done; the launch's record is gone by then.
  const std::string log = r.prog.folder() + "term.log";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(log); }, 60000)) << "term never finished";
  std::ifstream in(log);
  const std::string logged(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(logged.find("term 2: finished 1 record: removed 4 files"), std::string::npos) << logged;
  EXPECT_TRUE(fs::is_empty(r.prog.folder() + "records")) << "no record or saved copy is left";

  auto expected = before;
  expected["baseq2/save"] = "/";
  expected["baseq2/save/slot1.sav"] = "saved game\n";
  const std::string played = FolderContents(r.q2)["standin-launch.txt"];
  EXPECT_EQ(played.rfind("folder=" + r.q2.substr(0, r.q2.size() - 1) + "\n", 0), 0u) << played;
  expected["standin-launch.txt"] = played;  // what the game wrote while playing
  EXPECT_EQ(FolderContents(r.q2), expected);
}
