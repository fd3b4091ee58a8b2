#include "core/install/snapshot.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/placement/entrypath.h"
#include "testing/tempdir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
  EXPECT_EQ(snapshot.folders, prefixed(g, {"", "alpha/", "alpha/a/", "alpha/Beta/", "b/", "Zed/"}));
  EXPECT_EQ(snapshot.files, prefixed(g, {"A.txt", "b.txt", "C.txt", "alpha/x", "alpha/Y", "alpha/a/2", "alpha/Beta/1",
                                       "b/3", "Zed/x"}));
}

TEST(Snapshot, HiddenEntriesSkippedAndLinksListedButNeverEntered) {
  TempDir dir;
  dir.writeFiles({{"g/pak0.pak", "p"},
                  {"g/.hidden", "h"},
                  {"g/.git/config", "c"},
                  {"g/id1/.cache/x", "c"},
                  {"outside/secret.txt", "s"}});
  fs::create_directory_symlink(dir.path() / "outside", dir.path() / "g/elsewhere");
  fs::create_symlink(dir.path() / "g/pak0.pak", dir.path() / "g/id1/link.pak");
  fs::create_symlink(dir.path() / "missing", dir.path() / "g/dangling");

  const std::string g = dir.folder() + "g/";
  const InstallSnapshot snapshot = TakeSnapshot(g);
  EXPECT_EQ(snapshot.folders, prefixed(g, {"", "id1/"}));
  EXPECT_EQ(snapshot.files, prefixed(g, {"dangling", "elsewhere", "pak0.pak", "id1/link.pak"}));
}

TEST(Snapshot, GameFolderThatIsALinkIsListed) {
  // Players often keep the game on another disk behind a link in their home folder.
  TempDir dir;
  dir.write("real/id1/pak0.pak", "p");
  fs::create_directory_symlink(dir.path() / "real", dir.path() / "quake");
  const std::string q = dir.folder() + "quake/";
  const InstallSnapshot snapshot = TakeSnapshot(q);
  EXPECT_EQ(snapshot.folders, prefixed(q, {"", "id1/"}));
  EXPECT_EQ(snapshot.files, prefixed(q, {"id1/pak0.pak"}));
}

TEST(Snapshot, NoGameFolderGivesEmptyFiles) {
  TempDir dir;
  dir.write("not-a-folder", "x");
  for (const std::string& game : {dir.folder() + "missing/", dir.file("not-a-folder"), std::string()}) {
    const InstallSnapshot snapshot = TakeSnapshot(game);
    EXPECT_TRUE(snapshot.folders.empty()) << game;
    EXPECT_TRUE(snapshot.files.empty()) << game;
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
  EXPECT_EQ(read->folders, written.folders);
  EXPECT_EQ(read->files, written.files);
  dir.write("list.f", "/g/lf-only\n/g/crlf\r\n");
  EXPECT_EQ(ReadSnapshotFiles(dir.folder())->files, (Lines{"/g/lf-only", "/g/crlf"}));
}

// Makes the folders below `base` one name at a time, as an install does, and a
// file in the last one: the full path may be longer than the system opens.
void makeNested(const fs::path& base, const Lines& folders, const std::string& file) {
  int at = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(at, 0);
  for (const std::string& name : folders) {
    ASSERT_EQ(::mkdirat(at, name.c_str(), 0755), 0) << name;
    const int next = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(at);
    ASSERT_GE(next, 0);
    at = next;
  }
  const int fd = ::openat(at, file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  ::close(at);
  ASSERT_GE(fd, 0);
  ::close(fd);
}

std::size_t openDescriptors() {
  std::size_t n = 0;
  for ([[maybe_unused]] const fs::directory_entry& fd : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// What a snapshot of the folders and the file below root should list.
InstallSnapshot expectedNested(const std::string& root, const Lines& folders, const std::string& file) {
  InstallSnapshot expected{{root}, {}};
  std::string path = root;
  for (const std::string& name : folders) expected.folders.push_back(path += name + "/");
  expected.files.push_back(path + file);
  return expected;
}

TEST(Snapshot, ReachesTheDeepestInstallBelowALongGameFolder) {
  TempDir dir;
  // A game folder path of some 3,400 bytes, and below it the longest and
  // deepest path an entry may make: together past what one path may hold.
  fs::path game = dir.path();
  for (int i = 0; i < 14; ++i) game /= std::string(240, static_cast<char>('a' + i));
  fs::create_directories(game);
  Lines folders;
  for (std::size_t i = 0; i < kMaxEntryFolders; ++i) folders.push_back(std::string(29, 'd') + std::to_string(i % 10));
  const std::string file = "deep.txt";
  ASSERT_LE(folders.size() * 31 + file.size(), kMaxEntryPathBytes);
  makeNested(game, folders, file);

  const std::string root = game.string() + "/";
  const InstallSnapshot snapshot = TakeSnapshot(root);
  const InstallSnapshot expected = expectedNested(root, folders, file);
  EXPECT_GT(snapshot.files.empty() ? 0 : snapshot.files.back().size(), std::size_t{PATH_MAX});
  EXPECT_EQ(snapshot.folders, expected.folders);
  EXPECT_EQ(snapshot.files, expected.files);

  // Moved up, the tree has paths short enough for the temporary folder's removal.
  ASSERT_EQ(::rename((game / folders.front()).c_str(), dir.file("moved").c_str()), 0);
}

TEST(Snapshot, ATreeDeeperThanTheFoldersKeptOpenIsListedWhole) {
  // Far deeper than any install makes, as another program may have left it: a
  // chain of 300 folders "f", and a folder "z" beside the chain every 50 levels,
  // visited after the chain below it. The folders let go on the way down are
  // opened again to reach them.
  TempDir dir;
  const std::string g = dir.folder() + "g/";
  dir.write("g/top.txt", "t");
  Lines chain;  // the chain's folders below g, each with its trailing separator
  std::string below;
  for (int depth = 0; depth < 300; ++depth) chain.push_back(below += "f/");
  dir.write("g/" + below + "bottom.txt", "b");
  Lines siblings;
  for (int depth = 250; depth >= 0; depth -= 50) {
    const std::string parent = depth == 0 ? "" : chain[static_cast<std::size_t>(depth) - 1];
    siblings.push_back(parent + "z/");
    dir.write("g/" + parent + "z/sibling", "s");
  }

  const std::size_t openBefore = openDescriptors();
  const InstallSnapshot snapshot = TakeSnapshot(g);
  EXPECT_EQ(openDescriptors(), openBefore);
  Lines folders{""};
  folders.insert(folders.end(), chain.begin(), chain.end());
  folders.insert(folders.end(), siblings.begin(), siblings.end());
  Lines files{"top.txt", chain.back() + "bottom.txt"};
  for (const std::string& sibling : siblings) files.push_back(sibling + "sibling");
  EXPECT_EQ(snapshot.folders, prefixed(g, folders));
  EXPECT_EQ(snapshot.files, prefixed(g, files));
}

}  // namespace
