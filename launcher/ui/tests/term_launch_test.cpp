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
#include "testing/archive.h"
#include "uitest.h"

using namespace fdk;
using namespace fdk::test;
namespace fs = std::filesystem;

namespace {

// Every entry below a folder: relative path -> contents ("/" for a folder).
std::map<std::string, std::string> tree(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = fs::relative(it->path(), root).string();
    if (it->is_directory()) {
      entries[rel] = "/";
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      entries[rel] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return entries;
}

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
  std::string q2 = games.folder() + "quake two/";
  TermLaunchRun() {
    fs::create_directories(q2 + "baseq2/maps");
    fs::copy_file(FRAGDOCK_STANDIN, q2 + "quake2");
    games.write("quake two/baseq2/pak0.pak", "pak0");
    games.write("quake two/baseq2/maps/base1.bsp", "base1");
    games.write("cfgs2/duel/autoexec.cfg", "bind x");
    games.write("maps2/arena2.zip", "");
    EXPECT_TRUE(WriteArchive(games.file("maps2/arena2.zip"), {{"baseq2/maps/arena2.bsp", "the map"}}).ok());
    // The tool lives in the program folder, where the launch starts it.
    fs::copy_file(FRAGDOCK_TERM, prog.folder() + "term");
    Uvars v;
    v.programFolder = prog.folder();
    AssignDefaults(v, {games.folder()});
    v.q2.Path = q2;
    v.q2.EXE = "quake2";
    v.q2.Maps = games.folder() + "maps2/";
    v.q2.CFG = games.folder() + "cfgs2/";
    v.q2.ACFG = "duel";
    EXPECT_TRUE(SaveSettings(v).ok());
  }
};

TEST(TermLaunch, AfterTheGameTheFolderIsItsSnapshotPlusTheSave) {
  TermLaunchRun r;
  ASSERT_TRUE(r.start());
  const auto before = tree(r.q2);
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
  EXPECT_EQ(r.games.read("quake two/baseq2/maps/arena2.bsp"), "the map") << "installed for the game";

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
  const std::string played = tree(r.q2)["standin-launch.txt"];
  EXPECT_EQ(played.rfind("folder=" + r.q2.substr(0, r.q2.size() - 1) + "\n", 0), 0u) << played;
  expected["standin-launch.txt"] = played;  // what the game wrote while playing
  EXPECT_EQ(tree(r.q2), expected);
}

}  // namespace
