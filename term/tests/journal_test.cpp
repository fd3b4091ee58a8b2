// The journal's text, the walk through the game folder that never follows a
// link, and what counts as installed by a launch.
#include "term/core/journal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>

#include "term/core/gamefolder.h"
#include "term/core/plan.h"
#include "testing/tempdir.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {

TEST(Journal, SafeRelativePaths) {
  for (const char* good : {"a", "maps/dm1.bsp", "a b/c d.pak", "..x/y", "x../.hidden"}) EXPECT_TRUE(IsSafeRelativePath(good)) << good;
  for (const char* bad : {"", "/etc/passwd", "../x", "a/../../x", "a/..", "./a", "a/./b", "a//b", "a/", "a\nb", "a\rb"})
    EXPECT_FALSE(IsSafeRelativePath(bad)) << bad;
  EXPECT_FALSE(IsSafeRelativePath(std::string("a\0b", 3)));
}

TEST(Journal, RoundTripKeepsEveryField) {
  Journal journal;
  journal.game = '2';
  journal.root = "/home/p/quake 2/";
  journal.files = {{"mod one/pak0.pak", {123, 1700000000, 999999999}, false}, {"maps/x.bsp", {0, -5, 0}, true}};
  journal.folders = {{"mod one", false}, {"maps", true}};
  Result<Journal> read = ParseJournal(FormatJournal(journal));
  ASSERT_TRUE(read.ok()) << read.error().text;
  EXPECT_EQ(read->game, '2');
  EXPECT_EQ(read->root, journal.root);
  EXPECT_EQ(read->files, journal.files);
  EXPECT_EQ(read->folders, journal.folders);
  EXPECT_EQ(read->refused, 0u);
}

TEST(Journal, HostileLinesAreDroppedAndCounted) {
  const std::string text =
      "fragdock term journal 1\ngame 1\nroot /q/\n"
      "file 1 2 3 new ../x\nfile 1 2 3 new /etc/passwd\nfile 1 2 3 new a/../../b\nfile x 2 3 new a\n"
      "file 1 2 3 maybe a\nfolder new ..\nfolder new /\nwhat is this\n"
      "file 4 5 6 new ok.pak\nfolder carried ok\n";
  Result<Journal> read = ParseJournal(text);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->refused, 8u);
  ASSERT_EQ(read->files.size(), 1u);
  EXPECT_EQ(read->files[0].path, "ok.pak");
  ASSERT_EQ(read->folders.size(), 1u);
  EXPECT_TRUE(read->folders[0].carried);
}

TEST(Journal, TextThatIsNoJournalIsAnError) {
  for (const char* text : {"", "hello\n", "fragdock term journal 1\nfile 1 2 3 new a\n",
                           "fragdock term journal 1\ngame 2\nroot relative/\n"})
    EXPECT_FALSE(ParseJournal(text).ok()) << text;
}

struct GameFolderTest : ::testing::Test {
  TempDir dir;
  std::string game = dir.folder() + "game/";
  void SetUp() override {
    dir.write("game/maps/dm1.bsp", "map");
    dir.write("outside/secret.txt", "secret");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "game/link");
    fs::create_symlink(dir.path() / "outside/secret.txt", dir.path() / "game/maps/file-link");
  }
  FileStamp stamp(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return StampOf(info);
  }
};

TEST_F(GameFolderTest, RemovesOnlyUnchangedPlainFilesBelowTheFolder) {
  Result<GameFolder> folder = GameFolder::Open(game);
  ASSERT_TRUE(folder.ok());
  const FileStamp secret = stamp(dir.file("outside/secret.txt"));
  const FileStamp map = stamp(game + "maps/dm1.bsp");
  EXPECT_EQ(folder->RemoveFileIfUnchanged("link/secret.txt", secret), Removal::Refused);
  EXPECT_EQ(folder->RemoveFileIfUnchanged("maps/file-link", stamp(game + "maps/file-link")), Removal::Refused);
  EXPECT_EQ(folder->RemoveFileIfUnchanged("../outside/secret.txt", secret), Removal::Refused);
  EXPECT_EQ(folder->RemoveFolderIfEmpty("link"), Removal::Refused);
  EXPECT_EQ(folder->RemoveFileIfUnchanged("maps", map), Removal::Refused);
  EXPECT_EQ(folder->RemoveFileIfUnchanged("maps/dm1.bsp", FileStamp{map.size + 1, map.seconds, map.nanoseconds}),
            Removal::Changed);
  EXPECT_EQ(folder->RemoveFolderIfEmpty("maps"), Removal::NotEmpty);
  EXPECT_EQ(folder->RemoveFileIfUnchanged("maps/dm1.bsp", map), Removal::Removed);
  EXPECT_EQ(folder->RemoveFileIfUnchanged("maps/dm1.bsp", map), Removal::Missing);
  EXPECT_EQ(dir.read("outside/secret.txt"), "secret");
  EXPECT_TRUE(fs::is_symlink(game + "link"));
  EXPECT_TRUE(fs::is_symlink(game + "maps/file-link"));
}

TEST_F(GameFolderTest, InstalledMeansUnlistedAndNotNewerThanTheList) {
  const InstallSnapshot before = TakeSnapshot(game);
  dir.write("game/maps/installed.bsp", "i");
  dir.write("game/mod/pak0.pak", "p");
  dir.write("game/by-the-game.sav", "s");
  dir.write("game/save/slot.sav", "s");
  fs::create_symlink(dir.path() / "outside", dir.path() / "game/new-link");
  // list.f written at t=1000 s; the game's entries are a nanosecond newer.
  const timespec listWritten{1000, 500};
  for (const char* path : {"maps/installed.bsp", "mod/pak0.pak", "mod", "new-link"}) {
    const timespec times[2] = {listWritten, listWritten};
    ASSERT_EQ(::utimensat(AT_FDCWD, (game + path).c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
  }
  for (const char* path : {"by-the-game.sav", "save/slot.sav", "save"}) {
    const timespec times[2] = {{1000, 501}, {1000, 501}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (game + path).c_str(), times, 0), 0) << path;
  }
  Result<GameFolder> folder = GameFolder::Open(game);
  ASSERT_TRUE(folder.ok());
  const Journal plan = PlanInstalled(*folder, game, TakeSnapshot(game), SnapshotSets(before), listWritten);
  ASSERT_EQ(plan.files.size(), 2u);
  EXPECT_EQ(plan.files[0].path, "maps/installed.bsp");
  EXPECT_EQ(plan.files[1].path, "mod/pak0.pak");
  EXPECT_EQ(plan.files[1].stamp, stamp(game + "mod/pak0.pak"));
  EXPECT_EQ(plan.folders, (std::vector<JournalFolder>{{"mod", false}}));
}

TEST(JoinInterrupted, ListedEntriesAreCarriedTheRestRemovedNow) {
  Journal old;
  old.root = "/g/";
  old.files = {{"still/there.pak", {1, 1, 1}, false}, {"gone.pak", {2, 2, 2}, false}, {"again.pak", {3, 3, 3}, false}};
  old.folders = {{"still", false}, {"gone", false}};
  const SnapshotSets before(InstallSnapshot{{"/g/", "/g/still/"}, {"/g/still/there.pak"}});
  Journal plan, now;
  plan.files = {{"again.pak", {4, 4, 4}, false}};
  JoinInterrupted(old, before, plan, now);
  EXPECT_EQ(plan.files, (std::vector<JournalFile>{{"again.pak", {4, 4, 4}, false}, {"still/there.pak", {1, 1, 1}, true}}));
  EXPECT_EQ(plan.folders, (std::vector<JournalFolder>{{"still", true}}));
  EXPECT_EQ(now.files, (std::vector<JournalFile>{{"gone.pak", {2, 2, 2}, false}}));
  EXPECT_EQ(now.folders, (std::vector<JournalFolder>{{"gone", false}}));
}

}  // namespace
