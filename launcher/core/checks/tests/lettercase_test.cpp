#include "core/checks/lettercase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/checks/prelaunch.h"
#include "testing/gamesettings.h"
#include "testing/gametree.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {

struct Games {
  GameTree tree;
  Uvars vars = VarsIn(tree);
  Tzipform zip;
  std::string record;

  Games() {
    vars.userFolders.state = tree.folder() + "state/";
    fs::create_directories(vars.userFolders.state);
    record = LetterCaseRecordPath(vars, Game::Quake1);
  }
  RenameRun fix() { return FixLetterCase(LetterCasePlan(vars, Game::Quake1, zip), vars.q1.Path, record); }
  std::map<std::string, std::string> game() const { return FolderContents(tree.quake().game); }
};

std::vector<FindingKind> kinds(const std::vector<Finding>& findings) {
  std::vector<FindingKind> out;
  for (const Finding& f : findings) out.push_back(f.kind);
  return out;
}

}  // namespace

// ID1/PAK0.PAK, ID1/pak1.pak, ID1/pak3.pak: the fix leaves id1/pak0.pak,
// id1/pak1.pak, id1/pak3.pak and nothing else changed; the checks then name
// only the gap; the record puts every name back.
TEST(LetterCaseFix, RenamesExactlyWhatItNamesAndItsRecordPutsItBack) {
  Games g;
  g.tree.write("quake/ID1/PAK0.PAK", "zero");
  g.tree.write("quake/ID1/pak1.pak", "one");
  g.tree.write("quake/ID1/pak3.pak", "three");
  g.tree.write("quake/ID1/Config.CFG", "bind x");
  g.tree.write("quake/Other/PAK0.PAK", "not the game's");
  const auto before = g.game();

  const RenameRun run = g.fix();
  EXPECT_TRUE(run.left.empty()) << run.left.text();
  EXPECT_EQ(RenameRunText(run, false), "Renamed: ID1 to id1, id1/PAK0.PAK to pak0.pak.");
  auto expected = before;
  for (auto [from, to] : {std::pair{"ID1", "id1"}, {"ID1/PAK0.PAK", "id1/pak0.pak"}, {"ID1/pak1.pak", "id1/pak1.pak"},
                          {"ID1/pak3.pak", "id1/pak3.pak"}, {"ID1/Config.CFG", "id1/Config.CFG"}}) {
    expected[to] = expected.at(from);
    expected.erase(from);
  }
  EXPECT_EQ(g.game(), expected);
  const std::vector<Finding> after = PreLaunchChecks(g.vars, Game::Quake1, g.zip);
  EXPECT_EQ(kinds(after), (std::vector<FindingKind>{FindingKind::Program, FindingKind::PakGap}));

  const RenameRun undone = UndoLetterCase(g.record);
  EXPECT_TRUE(undone.left.empty()) << undone.left.text();
  EXPECT_EQ(RenameRunText(undone, true), "Put back: id1/pak0.pak to PAK0.PAK, id1 to ID1.");
  EXPECT_EQ(g.game(), before);
  EXPECT_FALSE(fs::exists(g.record));
  EXPECT_EQ(RenameRunText(UndoLetterCase(g.record), true), "Nothing was left to put back.");
}

// Never onto a name that exists, never a link, nothing outside the game folder.
TEST(LetterCaseFix, RefusesNamesThatExistLinksAndPathsOutsideTheGameFolder) {
  Games g;
  g.tree.write("quake/ID1/PAK1.PAK", "upper");
  g.tree.write("quake/ID1/Pak1.pak", "mixed");
  g.tree.write("elsewhere/PAK2.PAK", "someone else's");
  fs::create_symlink(g.tree.file("elsewhere/PAK2.PAK"), g.tree.file("quake/ID1/PAK2.PAK"));
  const RenameRun run = g.fix();
  ASSERT_EQ(run.renamed.size(), 2u);  // ID1, then one of the two spellings of pak1
  EXPECT_EQ(run.left.size(), 2u) << run.left.text();
  EXPECT_NE(run.left.text().find("pak1.pak is there already"), std::string::npos) << run.left.text();
  EXPECT_NE(run.left.text().find("id1/PAK2.PAK: it is a symbolic link"), std::string::npos) << run.left.text();
  EXPECT_TRUE(fs::is_symlink(g.tree.file("quake/id1/PAK2.PAK")));
  EXPECT_TRUE(fs::exists(g.tree.file("elsewhere/PAK2.PAK")));

  // A base folder that is a link is neither renamed nor gone through.
  Games linked;
  fs::create_directories(linked.tree.file("shared/PAKS"));
  linked.tree.write("shared/PAKS/PAK0.PAK", "shared");
  fs::create_symlink(linked.tree.file("shared/PAKS"), linked.tree.file("quake/ID1"));
  const RenameRun refused = linked.fix();
  EXPECT_TRUE(refused.renamed.empty());
  EXPECT_NE(refused.left.text().find("ID1: it is a symbolic link"), std::string::npos) << refused.left.text();
  EXPECT_TRUE(fs::exists(linked.tree.file("shared/PAKS/PAK0.PAK")));

  const std::vector<Rename> outside{{"..", "quake", "QUAKE"}, {"", "../elsewhere", "x"}};
  const RenameRun hostile = FixLetterCase(outside, g.vars.q1.Path, g.record);
  EXPECT_TRUE(hostile.renamed.empty());
  EXPECT_EQ(hostile.left.size(), 2u);
  EXPECT_TRUE(fs::exists(g.tree.file("quake")));
}

// A record line that cannot be read, or whose rename cannot be put back, stays
// in the record and is named; the others are put back.
TEST(LetterCaseFix, WhatCannotBePutBackStaysInTheRecord) {
  Games g;
  g.tree.write("quake/ID1/PAK0.PAK", "zero");
  ASSERT_EQ(g.fix().renamed.size(), 2u);
  g.tree.write("quake/id1/PAK0.PAK", "a new file of the player's");
  {
    std::ofstream out(g.record, std::ios::app);
    out << "broken line\n";
  }
  const RenameRun undone = UndoLetterCase(g.record);
  EXPECT_EQ(undone.renamed.size(), 1u) << "id1 back to ID1";
  EXPECT_EQ(undone.left.size(), 2u) << undone.left.text();
  EXPECT_EQ(g.tree.read("quake/ID1/PAK0.PAK"), "a new file of the player's");
  EXPECT_EQ(g.tree.read("quake/ID1/pak0.pak"), "zero");
  EXPECT_EQ(UndoLetterCase(g.record).left.size(), 2u) << "both lines are kept for another try";
}
