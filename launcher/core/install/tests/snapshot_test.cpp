#include "core/install/snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "testing/tempdir.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

Lines prefixed(const std::string& root, const Lines& relative) {
  Lines out;
  for (const std::string& path : relative) out.push_back(root + path);
  return out;
}

struct RecordingHost : SnapshotHost {
  std::vector<std::pair<std::string, std::size_t>> entered;
  void folderEntered(const std::string& folder, std::size_t filesSoFar) override {
    entered.emplace_back(folder, filesSoFar);
  }
};

TEST(Snapshot, QuakeFolderGivesBothListsWithCrLf) {
  TempDir dir;
  dir.write("quake/id1/pak0.pak", "pak");
  dir.write("quake/id1/maps/e1m1.bsp", "bsp");
  const std::string q = dir.folder() + "quake/";

  RecordingHost host;
  // Extra separators on the setting still give the game folder exactly one.
  const InstallSnapshot snapshot = TakeSnapshot(dir.folder() + "quake//", &host);
  ASSERT_TRUE(WriteSnapshotFiles(snapshot, dir.folder()).ok());

  EXPECT_EQ(dir.read("list.v"), q + "\r\n" + q + "id1/\r\n" + q + "id1/maps/\r\n");
  EXPECT_EQ(dir.read("list.f"), q + "id1/pak0.pak\r\n" + q + "id1/maps/e1m1.bsp\r\n");
  const std::vector<std::pair<std::string, std::size_t>> entered{{q, 0}, {q + "id1/", 0}, {q + "id1/maps/", 1}};
  EXPECT_EQ(host.entered, entered);
}

TEST(Snapshot, FilesBeforeFoldersEachWithoutLetterCaseDepthFirst) {
  TempDir dir;
  for (const char* name : {"g/b.txt", "g/A.txt", "g/C.txt", "g/Zed/x", "g/alpha/Y", "g/alpha/x", "g/alpha/Beta/1",
                           "g/alpha/a/2", "g/b/3"}) {
    dir.write(name, "x");
  }
  const std::string g = dir.folder() + "g/";
  const InstallSnapshot snapshot = TakeSnapshot(g);
  EXPECT_EQ(snapshot.lbv, prefixed(g, {"", "alpha/", "alpha/a/", "alpha/Beta/", "b/", "Zed/"}));
  EXPECT_EQ(snapshot.lbf, prefixed(g, {"A.txt", "b.txt", "C.txt", "alpha/x", "alpha/Y", "alpha/a/2", "alpha/Beta/1",
                                       "b/3", "Zed/x"}));
}

TEST(Snapshot, HiddenEntriesSkippedAndLinksListedButNeverEntered) {
  TempDir dir;
  dir.write("g/pak0.pak", "p");
  dir.write("g/.hidden", "h");
  dir.write("g/.git/config", "c");
  dir.write("g/id1/.cache/x", "c");
  dir.write("outside/secret.txt", "s");
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "g/elsewhere");
  fs::create_symlink(dir.path() / "g/pak0.pak", dir.path() / "g/id1/link.pak");
  fs::create_symlink(dir.path() / "missing", dir.path() / "g/dangling");

  const std::string g = dir.folder() + "g/";
  const InstallSnapshot snapshot = TakeSnapshot(g);
  EXPECT_EQ(snapshot.lbv, prefixed(g, {"", "id1/"}));
  EXPECT_EQ(snapshot.lbf, prefixed(g, {"dangling", "elsewhere", "pak0.pak", "id1/link.pak"}));
}

TEST(Snapshot, GameFolderThatIsALinkIsListed) {
  // Players often keep the game on another disk behind a link in their home folder.
  TempDir dir;
  dir.write("real/id1/pak0.pak", "p");
  fs::create_directory_symlink(dir.path() / "real", dir.path() / "quake");
  const std::string q = dir.folder() + "quake/";
  const InstallSnapshot snapshot = TakeSnapshot(q);
  EXPECT_EQ(snapshot.lbv, prefixed(q, {"", "id1/"}));
  EXPECT_EQ(snapshot.lbf, prefixed(q, {"id1/pak0.pak"}));
}

TEST(Snapshot, NoGameFolderGivesEmptyFiles) {
  TempDir dir;
  dir.write("not-a-folder", "x");
  for (const std::string& game : {dir.folder() + "missing/", dir.file("not-a-folder"), std::string()}) {
    const InstallSnapshot snapshot = TakeSnapshot(game);
    EXPECT_TRUE(snapshot.lbv.empty()) << game;
    EXPECT_TRUE(snapshot.lbf.empty()) << game;
    dir.write("list.v", "old\r\n");
    ASSERT_TRUE(WriteSnapshotFiles(snapshot, dir.folder()).ok());
    EXPECT_EQ(dir.read("list.v"), "");
    EXPECT_TRUE(dir.exists("list.f"));
    EXPECT_EQ(dir.read("list.f"), "");
  }
}

TEST(Snapshot, WriteFailureNamesTheFile) {
  TempDir dir;
  // A file where the program folder should be fails for any user, root included.
  const std::string program = dir.write("program", "x") + "/";
  const Status wrote = WriteSnapshotFiles(InstallSnapshot{{"/g/"}, {"/g/a"}}, program);
  ASSERT_FALSE(wrote.ok());
  EXPECT_NE(wrote.error().text.find("list.v"), std::string::npos) << wrote.error().text;
}

TEST(Snapshot, FilesReadBackAsWritten) {
  TempDir dir;
  EXPECT_FALSE(ReadSnapshotFiles(dir.folder()).ok());  // nothing written yet
  const InstallSnapshot written{{"/g/", "/g/a b/"}, {"/g/a b/x.pak", "/g/y"}};
  ASSERT_TRUE(WriteSnapshotFiles(written, dir.folder()).ok());
  Result<InstallSnapshot> read = ReadSnapshotFiles(dir.folder());
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->lbv, written.lbv);
  EXPECT_EQ(read->lbf, written.lbf);
  dir.write("list.f", "/g/lf-only\n/g/crlf\r\n");
  EXPECT_EQ(ReadSnapshotFiles(dir.folder())->lbf, (Lines{"/g/lf-only", "/g/crlf"}));
}

}  // namespace
