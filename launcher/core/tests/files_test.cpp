#include "core/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "tempdir.h"

using namespace fdk;
namespace fs = std::filesystem;

namespace {
mode_t modeOf(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}
}  // namespace

TEST(Files, OnlyRegularFilesAreReadAndNothingBlocks) {
  TempDir dir;
  dir.write("small.ini", "abc");
  std::string out = "untouched";
  EXPECT_TRUE(readWholeFile(dir.file("small.ini"), out));
  EXPECT_EQ(out, "abc");
  EXPECT_FALSE(readWholeFile(dir.file("small.ini"), out, 2)) << "larger than the cap";

  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.file("zero"));
  fs::create_directories(dir.file("folder"));
  for (const char* name : {"fifo", "zero", "folder", "missing"}) {
    out = "untouched";
    EXPECT_FALSE(readWholeFile(dir.file(name), out)) << name;
    EXPECT_EQ(out, "untouched") << name;
  }
}

TEST(Files, AtomicWriteKeepsPermissionsAndTreatsLinksAsAsked) {
  TempDir dir;
  dir.write("real/Fragdock.ini", "old");
  ::chmod(dir.file("real/Fragdock.ini").c_str(), 0600);
  fs::create_symlink(dir.file("real/Fragdock.ini"), dir.file("Fragdock.ini"));

  ASSERT_EQ(writeFileAtomically(dir.file("Fragdock.ini"), "followed", AtTargetLink::Follow), "");
  EXPECT_TRUE(fs::is_symlink(dir.file("Fragdock.ini"))) << "the link stays a link";
  EXPECT_EQ(dir.read("real/Fragdock.ini"), "followed");
  EXPECT_EQ(modeOf(dir.file("real/Fragdock.ini")), 0600u);

  ASSERT_EQ(writeFileAtomically(dir.file("Fragdock.ini"), "replaced", AtTargetLink::Replace), "");
  EXPECT_FALSE(fs::is_symlink(dir.file("Fragdock.ini")));
  EXPECT_EQ(dir.read("Fragdock.ini"), "replaced");
  EXPECT_EQ(dir.read("real/Fragdock.ini"), "followed") << "a replaced link leaves its target alone";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("real")), fs::directory_iterator()), 1)
      << "no temporary file is left";
}

TEST(Files, CopiesOnlyPlainFilesAndNeverWritesThroughALink) {
  TempDir dir;
  dir.write("set/config.cfg", "binds");
  dir.write("outside/autoexec.cfg", "the user's own file");
  dir.write("outside/secret", "secret");
  fs::create_symlink(dir.file("outside/secret"), dir.file("set/link.cfg"));
  ASSERT_EQ(::mkfifo(dir.file("set/fifo.cfg").c_str(), 0600), 0);
  fs::create_directories(dir.file("game"));
  fs::create_symlink(dir.file("outside/autoexec.cfg"), dir.file("game/config.cfg"));

  EXPECT_EQ(copyFileReplacing(dir.file("set/config.cfg"), dir.file("game/config.cfg")), "");
  EXPECT_EQ(dir.read("game/config.cfg"), "binds");
  EXPECT_FALSE(fs::is_symlink(dir.file("game/config.cfg")));
  EXPECT_EQ(dir.read("outside/autoexec.cfg"), "the user's own file");

  EXPECT_NE(copyFileReplacing(dir.file("set/link.cfg"), dir.file("game/link.cfg")).find("symbolic link"),
            std::string::npos);
  EXPECT_NE(copyFileReplacing(dir.file("set/fifo.cfg"), dir.file("game/fifo.cfg")), "");
  EXPECT_NE(copyFileReplacing(dir.file("set/config.cfg"), dir.file("nowhere/config.cfg")), "");
  EXPECT_FALSE(dir.exists("game/link.cfg"));
  EXPECT_FALSE(dir.exists("game/fifo.cfg"));
  EXPECT_FALSE(dir.exists("nowhere"));
}

TEST(Files, StaleTemporariesOfAKilledSaveAreRemoved) {
  TempDir dir;
  dir.write("Fragdock.ini", "keep");
  dir.write(".Fragdock.ini.tmpA1b2C3", "left by a killed save");
  dir.write(".Fragdock.ini.tmpXY", "not one of ours");
  dir.write(".other.ini.tmpA1b2C3", "another file's");
  removeStaleTemporaries(dir.file("Fragdock.ini"));
  EXPECT_FALSE(dir.exists(".Fragdock.ini.tmpA1b2C3"));
  EXPECT_TRUE(dir.exists(".Fragdock.ini.tmpXY"));
  EXPECT_TRUE(dir.exists(".other.ini.tmpA1b2C3"));
  EXPECT_EQ(dir.read("Fragdock.ini"), "keep");
}
