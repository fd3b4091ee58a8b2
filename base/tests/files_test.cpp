#include "base/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "testing/tempdir.h"

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
  Result<std::string> small = readWholeFile(dir.file("small.ini"));
  ASSERT_TRUE(small.ok());
  EXPECT_EQ(*small, "abc");
  Result<std::string> capped = readWholeFile(dir.file("small.ini"), 2);
  ASSERT_FALSE(capped.ok());
  EXPECT_NE(capped.error().text.find("small.ini"), std::string::npos);
  EXPECT_EQ(capped.error().kind, ErrorKind::TooLarge);
  EXPECT_EQ(readWholeFile(dir.file("absent.ini")).error().kind, ErrorKind::Missing);

  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.file("zero"));
  fs::create_directories(dir.file("folder"));
  for (const char* name : {"fifo", "zero", "folder", "missing"}) EXPECT_FALSE(readWholeFile(dir.file(name)).ok()) << name;
}

TEST(Files, AtomicWriteKeepsPermissionsAndTreatsLinksAsAsked) {
  TempDir dir;
  dir.write("real/Fragdock.ini", "old");
  ::chmod(dir.file("real/Fragdock.ini").c_str(), 0600);
  fs::create_symlink(dir.file("real/Fragdock.ini"), dir.file("Fragdock.ini"));

  ASSERT_TRUE(writeFileAtomically(dir.file("Fragdock.ini"), "followed", AtTargetLink::Follow).ok());
  EXPECT_TRUE(fs::is_symlink(dir.file("Fragdock.ini"))) << "the link stays a link";
  EXPECT_EQ(dir.read("real/Fragdock.ini"), "followed");
  EXPECT_EQ(modeOf(dir.file("real/Fragdock.ini")), 0600u);

  ASSERT_TRUE(writeFileAtomically(dir.file("Fragdock.ini"), "replaced", AtTargetLink::Replace).ok());
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

  EXPECT_TRUE(copyFileReplacing(dir.file("set/config.cfg"), dir.file("game/config.cfg")).ok());
  EXPECT_EQ(dir.read("game/config.cfg"), "binds");
  EXPECT_FALSE(fs::is_symlink(dir.file("game/config.cfg")));
  EXPECT_EQ(dir.read("outside/autoexec.cfg"), "the user's own file");

  EXPECT_EQ(copyFileReplacing(dir.file("set/link.cfg"), dir.file("game/link.cfg")).error().kind, ErrorKind::Unsafe);
  EXPECT_FALSE(copyFileReplacing(dir.file("set/fifo.cfg"), dir.file("game/fifo.cfg")).ok());
  EXPECT_FALSE(copyFileReplacing(dir.file("set/config.cfg"), dir.file("nowhere/config.cfg")).ok());
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

TEST(Files, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile) {
  TempDir dir;
  dir.write("Fragdock.ini", "old contents");
  EXPECT_TRUE(writeFileAtomically(dir.file("Fragdock.ini"), "new").ok());
  EXPECT_EQ(dir.read("Fragdock.ini"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
  Status missing = writeFileAtomically(dir.file("missing/Fragdock.ini"), "x");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().text.find("missing/Fragdock.ini"), std::string::npos) << missing.error().text;
  EXPECT_EQ(missing.error().kind, ErrorKind::Missing);
}
