#include "core/launch/engines.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/store/settings.h"
#include "testing/tempdir.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {

struct Machine {
  TempDir dir;
  std::string at(const std::string& name) const { return dir.folder() + name; }
  void program(const std::string& name) const {
    dir.write(name, "#!/bin/sh\n");
    fs::permissions(at(name), fs::perms::owner_all);
  }
};

// Known names in PATH's folders, earlier folders first, then whatever the game
// folder holds that runs; everything else is passed over.
TEST(Engines, TheKnownOnesOnThePathAndEveryProgramOfTheGameFolderAreOffered) {
  Machine m;
  m.program("bin/quakespasm");
  m.program("bin/yquake2");
  m.program("bin/notquake");
  m.dir.write("bin/vkquake", "not executable");
  m.program("local/ironwail");
  m.program("local/quakespasm");  // the same name later on the path is another program: offered too
  m.program("quake/glquake");
  m.program("quake/start.sh");
  m.dir.write("quake/id1/pak0.pak", "data");
  fs::create_directories(m.at("links"));
  fs::create_symlink(m.at("bin/quakespasm"), m.at("links/darkplaces"));
  fs::create_symlink("/nowhere/fteqw", m.at("links/fteqw"));
  const std::string path = m.at("bin") + ":" + m.at("missing") + "::relative:" + m.at("local/") + ":" + m.at("links");

  EXPECT_EQ(DetectEngines(Game::Quake1, path, m.at("quake/")),
            (std::vector<std::string>{m.at("bin/quakespasm"), m.at("local/quakespasm"), m.at("local/ironwail"),
                                      m.at("links/darkplaces"), m.at("quake/glquake"), m.at("quake/start.sh")}));
  EXPECT_EQ(DetectEngines(Game::Quake2, path, m.at("nothing-here/")), (std::vector<std::string>{m.at("bin/yquake2")}));
  EXPECT_EQ(DetectEngines(Game::Quake2, path + ":" + m.at("bin"), ""), (std::vector<std::string>{m.at("bin/yquake2")}))
      << "a path is offered once";
}

TEST(Engines, EachFamilyAsksForItsOwnBaseArgument) {
  struct Row {
    const char* program;
    Game game;
    const char* baseArg;  // nullptr: not a known engine of the game
  };
  const Row rows[] = {
      {"/usr/games/quakespasm", Game::Quake1, "-basedir"}, {"vkquake", Game::Quake1, "-basedir"},
      {"ironwail", Game::Quake1, "-basedir"},              {"/opt/darkplaces-sdl", Game::Quake1, "-basedir"},
      {"ezquake", Game::Quake1, ""},                       {"/usr/games/yquake2", Game::Quake2, "-datadir"},
      {"quake2", Game::Quake2, "-datadir"},                {"q2pro", Game::Quake2, ""},
      {"yquake2", Game::Quake1, nullptr},                  {"quakespasm.exe", Game::Quake1, nullptr},
      {"QUAKESPASM", Game::Quake1, nullptr},
  };
  for (const Row& r : rows) {
    const std::optional<EngineFamily> family = FamilyOf(r.program, r.game);
    ASSERT_EQ(family.has_value(), r.baseArg != nullptr) << r.program;
    if (family) {
      EXPECT_STREQ(BaseArgumentFor(*family), r.baseArg) << r.program;
    }
  }
  for (const KnownEngine& engine : KnownEngines())
    EXPECT_EQ(FamilyOf(engine.name, engine.game), engine.family) << engine.name;
}

// A detected engine is kept by its path; a picked file names the game folder too,
// unless it is a known engine away from the game's files (a distribution's).
// The base argument always follows the program chosen last.
TEST(Engines, ChoosingAProgramSetsTheProgramAndTheBaseArgumentByItsFamily) {
  Machine m;
  m.program("games/yquake2");
  m.program("games/quakespasm");
  m.program("games/tool");
  m.program("quake/quakespasm");
  m.program("quake/glquake");
  m.dir.write("quake/ID1/PAK0.PAK", "data");
  m.program("q2/yquake2");
  GameSettings g;
  g.Path = m.at("q2/");
  g.BaseArg = "-basedir";

  ChooseDetectedEngine(g, Game::Quake2, m.at("games/yquake2"));
  EXPECT_EQ(g.EXE, m.at("games/yquake2"));
  EXPECT_EQ(g.Path, m.at("q2/"));
  EXPECT_EQ(g.BaseArg, "-datadir");
  ChooseDetectedEngine(g, Game::Quake1, m.at("quake/glquake"));
  EXPECT_EQ(g.BaseArg, "") << "a program of no known name needs none";

  ChoosePickedProgram(g, Game::Quake2, m.at("q2/yquake2"));
  EXPECT_EQ(g.EXE, "yquake2") << "the game folder's own engine";
  EXPECT_EQ(g.Path, m.at("q2/"));
  EXPECT_EQ(g.BaseArg, "-datadir");

  g.Path = m.at("elsewhere/");
  ChoosePickedProgram(g, Game::Quake1, m.at("games/quakespasm"));
  EXPECT_EQ(g.EXE, m.at("games/quakespasm")) << "a distribution's engine keeps the game folder";
  EXPECT_EQ(g.Path, m.at("elsewhere/"));
  EXPECT_EQ(g.BaseArg, "-basedir");

  ChoosePickedProgram(g, Game::Quake1, m.at("quake/quakespasm"));
  EXPECT_EQ(g.EXE, "quakespasm") << "beside the base folder, in any letter case, it is the game's";
  EXPECT_EQ(g.Path, m.at("quake/"));

  ChoosePickedProgram(g, Game::Quake1, m.at("games/tool"));
  EXPECT_EQ(g.EXE, "tool") << "any other program names its folder as the game folder, as always";
  EXPECT_EQ(g.Path, m.at("games/"));
  EXPECT_EQ(g.BaseArg, "");
}

}  // namespace
