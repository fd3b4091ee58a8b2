#include "core/checks/prelaunch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "modelgen/writers.h"
#include "testing/gamesettings.h"
#include "testing/gametree.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> pakOf(const std::vector<std::string>& names) {
  std::vector<modelgen::PakMember> members;
  for (const std::string& name : names) members.push_back({name, {1, 2, 3}});
  return modelgen::encodePak(members);
}

// A player's games with nothing wrong: both engines in place and runnable,
// base folders in lower case, PAKs numbered without a gap.
struct Games {
  GameTree tree;
  Uvars vars = VarsIn(tree);
  Tzipform zip;

  Games() {
    tree.withBaseFolders();
    vars.q1.EXE = "quake";
    vars.q2.EXE = "quake2";
    tree.script("quake/quake", "exit 0");
    tree.script("quake2/quake2", "exit 0");
    for (const char* pak : {"quake/id1/pak0.pak", "quake/id1/pak1.pak", "quake2/baseq2/pak0.pak"})
      tree.write(pak, pakOf({"maps/start.bsp"}));
  }
  std::vector<Finding> check(Game game) { return PreLaunchChecks(vars, game, zip); }
  std::string at(const std::string& name) const { return tree.file(name); }
};

std::vector<FindingKind> kinds(const std::vector<Finding>& findings) {
  std::vector<FindingKind> out;
  for (const Finding& f : findings) out.push_back(f.kind);
  return out;
}

using K = FindingKind;

}  // namespace

TEST(PreLaunchChecks, NothingWrongFindsNothing) {
  Games g;
  EXPECT_TRUE(g.check(Game::Quake1).empty()) << g.check(Game::Quake1).front().text;
  EXPECT_TRUE(g.check(Game::Quake2).empty()) << g.check(Game::Quake2).front().text;
}

TEST(PreLaunchChecks, TheGameFolderTheProgramAndTheBaseFolder) {
  Games g;
  g.vars.q1.EXE = "glquake";
  g.tree.write("quake2/quake2-not-runnable", "");
  g.vars.q2.EXE = "quake2-not-runnable";
  EXPECT_EQ(g.check(Game::Quake1).front().text, "The program " + g.at("quake/glquake") + " does not exist.");
  EXPECT_EQ(kinds(g.check(Game::Quake2)), std::vector<K>{K::Program});
  EXPECT_NE(g.check(Game::Quake2).front().text.find("not executable"), std::string::npos);
  g.vars.q2.EXE = g.at("quake2/baseq2");
  EXPECT_NE(g.check(Game::Quake2).front().text.find("is a folder"), std::string::npos);

  fs::remove_all(g.at("quake/id1"));
  g.vars.q1.EXE = "quake";
  EXPECT_EQ(kinds(g.check(Game::Quake1)), std::vector<K>{K::BaseFolder});
  g.vars.q1.Path = g.at("nowhere/");
  const std::vector<Finding> missing = g.check(Game::Quake1);
  EXPECT_EQ(kinds(missing), (std::vector<K>{K::GameFolder, K::Program}));
  EXPECT_EQ(missing.front().paths, std::vector<std::string>{g.at("nowhere/")});
}

// The tree players bring from Windows stores: the engines read neither ID1 nor
// PAK0.PAK, and pak3.pak is never read past the missing pak2.pak.
TEST(PreLaunchChecks, LetterCaseAndPakGapsOfTheBaseFolderAndTheMod) {
  Games g;
  fs::remove_all(g.at("quake/id1"));
  g.tree.write("quake/ID1/PAK0.PAK", pakOf({}));
  g.tree.write("quake/ID1/pak1.pak", pakOf({}));
  g.tree.write("quake/ID1/pak3.pak", pakOf({}));
  g.tree.write("quake/ID1/pak01.pak", "not a numbered pak of the game");
  const std::vector<Finding> found = g.check(Game::Quake1);
  ASSERT_EQ(kinds(found), (std::vector<K>{K::LetterCase, K::LetterCase, K::PakGap}));
  EXPECT_EQ(found[0].paths, std::vector<std::string>{g.at("quake/ID1")});
  EXPECT_EQ(found[1].paths, std::vector<std::string>{g.at("quake/ID1/PAK0.PAK")});
  EXPECT_EQ(found[2].paths, std::vector<std::string>{g.at("quake/ID1/pak3.pak")});
  EXPECT_EQ(found[1].text, "PAK0.PAK in ID1 is not read: the engines look for pak0.pak.");
  EXPECT_EQ(found[2].text, "pak2.pak is missing from ID1, so Quake never reads pak3.pak.");

  g.vars.q1mod = "arena";
  g.tree.write("quake/Arena/Pak0.pak", pakOf({}));
  g.tree.write("quake/Arena/pak2.pak", pakOf({}));
  const std::vector<Finding> withMod = g.check(Game::Quake1);
  ASSERT_EQ(withMod.size(), 6u);
  EXPECT_EQ(withMod[1].paths, std::vector<std::string>{g.at("quake/Arena")});
  EXPECT_EQ(withMod[1].text, "The MOD folder Arena must be called arena: the game is told -game arena.");
  EXPECT_EQ(withMod[3].paths, std::vector<std::string>{g.at("quake/Arena/Pak0.pak")});
  EXPECT_EQ(withMod[5].paths, std::vector<std::string>{g.at("quake/Arena/pak2.pak")});

  g.tree.write("quake2/baseq2/PAK2.PAK", pakOf({}));
  EXPECT_EQ(kinds(g.check(Game::Quake2)), std::vector<K>{K::LetterCase}) << "Quake 2 engines skip gaps";
  EXPECT_TRUE(HasLetterCaseFinding(g.check(Game::Quake2)));
}

// A Quake 2 MOD's game code for Windows only, in its archive or its installed folder.
TEST(PreLaunchChecks, AQuake2ModWithGameCodeOnlyForWindows) {
  Games g;
  g.vars.q2mod = "arena";
  ASSERT_TRUE(g.tree.archive("mods2/arena.zip", {{"arena/gamex86.dll", "MZ"}, {"arena/maps/a.bsp", "map"}}).ok());
  const std::vector<Finding> found = g.check(Game::Quake2);
  ASSERT_EQ(kinds(found), std::vector<K>{K::WindowsOnlyMod});
  EXPECT_NE(found[0].text.find("gamex86.dll"), std::string::npos);

  ASSERT_TRUE(g.tree
                  .archive("mods2/arena.zip", {{"arena/gamex86.dll", "MZ"}, {"arena/gamex86_64.so", "ELF"},
                                               {"arena/maps/a.bsp", "map"}})
                  .ok());
  EXPECT_TRUE(g.check(Game::Quake2).empty());

  ASSERT_TRUE(g.tree.archive("mods2/arena.zip", {{"arena/maps/a.bsp", "map"}}).ok());
  EXPECT_TRUE(g.check(Game::Quake2).empty()) << "maps only: no game code at all";
  g.tree.write("quake2/ARENA/GameX86.dll", "MZ");
  EXPECT_EQ(kinds(g.check(Game::Quake2)), std::vector<K>{K::WindowsOnlyMod}) << "installed in another spelling";
  g.tree.write("quake2/ARENA/game.so", "ELF");
  EXPECT_TRUE(g.check(Game::Quake2).empty());
}

// The engines read a folder's PAKs before its loose files.
TEST(PreLaunchChecks, AChosenMapInsideAPakOfItsFolderIsNamed) {
  Games g;
  g.tree.write("quake2/baseq2/pak0.pak", pakOf({"maps/base1.bsp", "MAPS/Q2DM1.BSP"}));
  ASSERT_TRUE(g.tree.archive("maps2/dm1.zip", {{"baseq2/maps/q2dm1.bsp", "map"}, {"baseq2/maps/q2dm1.txt", "x"}}).ok());
  ASSERT_TRUE(g.tree.archive("maps2/fresh.zip", {{"baseq2/maps/fresh.bsp", "map"}}).ok());
  g.vars.q2maps.chosen = {"dm1", "fresh", "missing"};
  const std::vector<Finding> found = g.check(Game::Quake2);
  ASSERT_EQ(kinds(found), std::vector<K>{K::ShadowedMap});
  EXPECT_EQ(found[0].paths.front(), g.at("quake2/baseq2/pak0.pak"));
  EXPECT_NE(found[0].text.find("q2dm1.bsp of dm1 is also inside pak0.pak"), std::string::npos) << found[0].text;
}
