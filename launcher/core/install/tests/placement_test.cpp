#include "core/install/placement.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "core/archive/tests/fixtures.h"
#include "testing/tempdir.h"

using namespace fdk;
using testfix::Names;
using testfix::tree;
namespace fs = std::filesystem;

namespace {

EntryPath entry(const std::string& stored) {
  Result<EntryPath> path = SafeEntryPath(stored);
  EXPECT_TRUE(path.ok()) << stored;
  return path.ok() ? *path : EntryPath{};
}

Placement open(const TempDir& dir, const std::string& sub = "game") {
  Result<Placement> placement = Placement::Open(dir.file(sub));
  EXPECT_TRUE(placement.ok()) << placement.error().text;
  return std::move(*placement);
}

Status put(Placement& placement, const std::string& stored, const std::string& bytes, bool overwrite) {
  Result<PendingFile> file = placement.Begin(entry(stored), overwrite);
  if (!file) return file.error();
  if (Status wrote = file->Write(bytes); !wrote) return wrote;
  return file->Commit();
}

}  // namespace

TEST(Placement, FoldersMatchWithoutCaseAndMissingOnesTakeTheEntrySpelling) {
  TempDir dir;
  dir.write("game/maps/old.bsp", "old");
  dir.write("game/Baseq2/pak0.pak", "pak");
  Placement placement = open(dir);
  ASSERT_TRUE(put(placement, "MAPS/DM1.BSP", "dm1", false).ok());
  ASSERT_TRUE(put(placement, "baseq2/Players/Male/tris.md2", "md2", false).ok());
  ASSERT_TRUE(put(placement, "baseq2/players/male/a.pcx", "pcx", false).ok());
  ASSERT_TRUE(placement.MakeFolders(entry("NewMod/Empty/")).ok());
  EXPECT_EQ(tree(dir.file("game")),
            (Names{"Baseq2/", "Baseq2/Players/", "Baseq2/Players/Male/", "Baseq2/Players/Male/a.pcx",
                   "Baseq2/Players/Male/tris.md2", "Baseq2/pak0.pak", "NewMod/", "NewMod/Empty/", "maps/",
                   "maps/DM1.BSP", "maps/old.bsp"}));
  EXPECT_EQ(dir.read("game/maps/DM1.BSP"), "dm1");
}

TEST(Placement, TwinFoldersPreferTheExactSpellingElseTheFirstByName) {
  TempDir dir;
  dir.write("game/Maps/a", "");
  dir.write("game/maps/b", "");
  Placement placement = open(dir);
  ASSERT_TRUE(put(placement, "maps/exact.bsp", "", false).ok());
  ASSERT_TRUE(put(placement, "MAPS/first.bsp", "", false).ok());
  EXPECT_TRUE(dir.exists("game/maps/exact.bsp"));
  EXPECT_TRUE(dir.exists("game/Maps/first.bsp"));
}

TEST(Placement, ExistsIgnoresCaseInEveryPartAndSeesWhatThisRunWrote) {
  TempDir dir;
  dir.write("game/id1/pak0.pak", "original");
  Placement placement = open(dir);
  EXPECT_TRUE(placement.Exists(entry("ID1/PAK0.PAK")));
  EXPECT_TRUE(placement.Exists(entry("Id1/")));
  EXPECT_FALSE(placement.Exists(entry("id1/pak1.pak")));
  EXPECT_FALSE(placement.Exists(entry("missing/pak0.pak")));
  ASSERT_TRUE(put(placement, "id1/PAK1.PAK", "new", false).ok());
  ASSERT_TRUE(placement.MakeFolders(entry("id1/maps/")).ok());
  EXPECT_TRUE(placement.Exists(entry("ID1/pak1.pak")));
  EXPECT_TRUE(placement.Exists(entry("ID1/MAPS/")));
}

TEST(Placement, NeverOverwriteHoldsAcrossCaseAndOverwriteKeepsTheExistingSpelling) {
  TempDir dir;
  dir.write("game/pak0.pak", "original");
  ::chmod(dir.file("game/pak0.pak").c_str(), 0600);
  Placement placement = open(dir);

  Result<PendingFile> refused = placement.Begin(entry("PAK0.PAK"), false);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().text.find("pak0.pak exists"), std::string::npos) << refused.error().text;
  EXPECT_EQ(dir.read("game/pak0.pak"), "original");

  ASSERT_TRUE(put(placement, "PAK0.PAK", "replaced", true).ok());
  EXPECT_EQ(tree(dir.file("game")), Names{"pak0.pak"});
  EXPECT_EQ(dir.read("game/pak0.pak"), "replaced");
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("game/pak0.pak").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(Placement, AFolderIsNeverReplacedByAFile) {
  TempDir dir;
  dir.write("game/maps/dm1.bsp", "x");
  Placement placement = open(dir);
  Result<PendingFile> file = placement.Begin(entry("MAPS"), true);
  ASSERT_FALSE(file.ok());
  EXPECT_NE(file.error().text.find("is a folder"), std::string::npos) << file.error().text;
  EXPECT_EQ(dir.read("game/maps/dm1.bsp"), "x");
}

TEST(Placement, LinksAndFilesWhereAFolderMustGoRefuseTheEntry) {
  TempDir dir;
  dir.write("outside/keep.txt", "outside");
  dir.write("game/readme.txt", "a file");
  fs::create_directories(dir.file("game"));
  fs::create_directory_symlink(dir.file("outside"), dir.file("game/maps"));
  Placement placement = open(dir);
  struct Row {
    std::string stored;
    std::string reasonHolds;
  };
  for (const Row& row : std::vector<Row>{{"maps/evil.bsp", "symbolic link"},
                                         {"MAPS/evil.bsp", "symbolic link"},
                                         {"maps/sub/evil.bsp", "symbolic link"},
                                         {"README.TXT/evil.bsp", "is a file"}}) {
    Result<PendingFile> file = placement.Begin(entry(row.stored), true);
    ASSERT_FALSE(file.ok()) << row.stored;
    EXPECT_NE(file.error().text.find(row.reasonHolds), std::string::npos) << file.error().text;
    EXPECT_FALSE(placement.MakeFolders(entry(row.stored)).ok()) << row.stored;
    EXPECT_FALSE(placement.Exists(entry(row.stored))) << row.stored;
  }
  EXPECT_EQ(tree(dir.file("outside")), Names{"keep.txt"});
  EXPECT_EQ(tree(dir.file("game")), (Names{"maps", "readme.txt"}));
}

TEST(Placement, AFolderSwappedForALinkAfterItWasListedIsRefused) {
  TempDir dir;
  dir.write("game/maps/dm1.bsp", "x");
  fs::create_directories(dir.file("outside"));
  Placement placement = open(dir);
  ASSERT_TRUE(placement.Exists(entry("maps/dm1.bsp")));  // the listings now say maps is a folder
  fs::rename(dir.file("game/maps"), dir.file("moved"));
  fs::create_directory_symlink(dir.file("outside"), dir.file("game/maps"));
  EXPECT_FALSE(put(placement, "maps/evil.bsp", "evil", false).ok());
  EXPECT_TRUE(fs::is_empty(dir.file("outside")));
}

TEST(Placement, ALinkAtTheTargetIsReplacedItselfNeverWrittenThrough) {
  TempDir dir;
  dir.write("outside.txt", "outside");
  fs::create_directories(dir.file("game"));
  fs::create_symlink(dir.file("outside.txt"), dir.file("game/autoexec.cfg"));
  Placement placement = open(dir);
  EXPECT_TRUE(placement.Exists(entry("AUTOEXEC.CFG")));
  EXPECT_FALSE(put(placement, "autoexec.cfg", "new", false).ok());
  ASSERT_TRUE(put(placement, "autoexec.cfg", "new", true).ok());
  EXPECT_FALSE(fs::is_symlink(dir.file("game/autoexec.cfg")));
  EXPECT_EQ(dir.read("game/autoexec.cfg"), "new");
  EXPECT_EQ(dir.read("outside.txt"), "outside");
}

TEST(Placement, AnUncommittedFileLeavesNothingAndTheTargetOnlyAppearsWhenComplete) {
  TempDir dir;
  Placement placement = open(dir);
  {
    Result<PendingFile> file = placement.Begin(entry("mod/pak0.pak"), false);
    ASSERT_TRUE(file.ok()) << file.error().text;
    ASSERT_TRUE(file->Write("half").ok());
    EXPECT_FALSE(dir.exists("game/mod/pak0.pak"));
    EXPECT_EQ(file->target(), dir.file("game/mod/pak0.pak"));
  }
  EXPECT_EQ(tree(dir.file("game")), Names{"mod/"});
  EXPECT_FALSE(placement.Exists(entry("mod/pak0.pak")));
}

TEST(Placement, AFileThatAppearsWhileWritingIsKeptWithoutOverwrite) {
  TempDir dir;
  Placement placement = open(dir);
  Result<PendingFile> file = placement.Begin(entry("config.cfg"), false);
  ASSERT_TRUE(file.ok());
  ASSERT_TRUE(file->Write("ours").ok());
  dir.write("game/config.cfg", "theirs");
  Status committed = file->Commit();
  ASSERT_FALSE(committed.ok());
  EXPECT_NE(committed.error().text.find("kept"), std::string::npos) << committed.error().text;
  EXPECT_EQ(dir.read("game/config.cfg"), "theirs");
  EXPECT_EQ(tree(dir.file("game")), Names{"config.cfg"});
}

TEST(Placement, AMissingRootIsMadeAndAnUnusableOneIsAnError) {
  TempDir dir;
  Placement placement = open(dir, "deep/new/game");
  EXPECT_EQ(placement.root(), dir.file("deep/new/game") + "/");
  ASSERT_TRUE(put(placement, "a.txt", "a", false).ok());
  EXPECT_EQ(dir.read("deep/new/game/a.txt"), "a");

  dir.write("plain", "x");
  Result<Placement> blocked = Placement::Open(dir.file("plain"));
  ASSERT_FALSE(blocked.ok());
  EXPECT_NE(blocked.error().text.find("plain"), std::string::npos);
}
