#include "core/placement/entrypath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fdk;

namespace {

struct Accepted {
  std::string stored;
  std::vector<std::string> folders;
  std::string name;  // empty for a folder entry
};

struct Refused {
  std::string stored;
  std::string reasonHolds;  // a word the reason must hold
};

}  // namespace

TEST(SafeEntryPath, SplitsPlainNamesAndReadsBackslashAsSeparator) {
  const std::vector<Accepted> rows = {
      {"pak0.pak", {}, "pak0.pak"},
      {"mymod/pak0.pak", {"mymod"}, "pak0.pak"},
      {"mymod\\maps\\dm1.bsp", {"mymod", "maps"}, "dm1.bsp"},
      {"a/\\b//./c", {"a", "b"}, "c"},
      {"./readme.txt", {}, "readme.txt"},
      {"maps/", {"maps"}, ""},
      {"maps\\sub\\", {"maps", "sub"}, ""},
      {"maps/.", {"maps"}, ""},
      {"..hidden/x..y", {"..hidden"}, "x..y"},
      {"ab:c/d:e", {"ab:c"}, "d:e"},  // a colon past a drive letter's place is just a character here
      {"caf\xC3\xA9/\xC3\xA4.txt", {"caf\xC3\xA9"}, "\xC3\xA4.txt"},
  };
  for (const Accepted& row : rows) {
    Result<EntryPath> path = SafeEntryPath(row.stored);
    ASSERT_TRUE(path.ok()) << row.stored << ": " << path.error().text;
    EXPECT_EQ(path->folders, row.folders) << row.stored;
    EXPECT_EQ(path->name, row.name) << row.stored;
    EXPECT_EQ(path->isFolder(), row.name.empty()) << row.stored;
  }
}

TEST(SafeEntryPath, RefusesEveryNameThatCouldLeaveTheDestination) {
  const std::vector<Refused> rows = {
      {"../../evil", ".."},
      {"a/../../evil", ".."},
      {"..\\evil", ".."},
      {"maps/..", ".."},
      {"/abs/evil", "absolute"},
      {"\\\\server\\share\\evil", "absolute"},
      {"\\evil", "absolute"},
      {"C:evil", "drive"},
      {"c:/x", "drive"},
      {"z:\\x", "drive"},
      {std::string("a\0b", 3), "control"},
      {"a\nb", "control"},
      {"tab\there", "control"},
      {"del\x7F", "control"},
      {"", "empty"},
      {".", "names no"},
      {"./", "names no"},
      {"//", "absolute"},
  };
  for (const Refused& row : rows) {
    Result<EntryPath> path = SafeEntryPath(row.stored);
    ASSERT_FALSE(path.ok()) << row.stored << " was accepted as " << path->joined();
    EXPECT_NE(path.error().text.find(row.reasonHolds), std::string::npos) << row.stored << ": " << path.error().text;
    EXPECT_EQ(path.error().kind, ErrorKind::Unsafe) << row.stored;
  }
}

TEST(SafeEntryPath, JoinedAndWithoutFolders) {
  Result<EntryPath> file = SafeEntryPath("A\\B\\c.txt");
  ASSERT_TRUE(file.ok());
  EXPECT_EQ(file->joined(), "A/B/c.txt");
  EXPECT_EQ(file->withoutFolders().joined(), "c.txt");
  Result<EntryPath> folder = SafeEntryPath("A/B/");
  ASSERT_TRUE(folder.ok());
  EXPECT_EQ(folder->joined(), "A/B/");
}

// An install must not make a path the snapshot and the clean-up tool cannot
// open again: names past the length or depth limit are refused, names at it pass.
TEST(SafeEntryPath, HoldsNamesToTheLengthAndDepthLimits) {
  auto nested = [](std::size_t folders, const std::string& last) {
    std::string name;
    for (std::size_t i = 0; i < folders; ++i) name += "d/";
    return name + last;
  };
  auto nestedDots = [](std::size_t n) {
    std::string dots;
    for (std::size_t i = 0; i < n; ++i) dots += "./";
    return dots;
  };
  const std::string atLength = std::string(kMaxEntryPathBytes - 4, 'n') + ".bsp";
  struct Row {
    std::string stored;
    std::string reasonHolds;  // empty when the name is accepted
  };
  const std::vector<Row> rows = {
      {nested(kMaxEntryFolders, "f.txt"), ""},
      {nested(kMaxEntryFolders, ""), ""},
      {nested(kMaxEntryFolders + 1, "f.txt"), "folders deep"},
      {nested(kMaxEntryFolders + 1, ""), "folders deep"},
      {nested(5000, "f.txt"), "folders deep"},
      {"maps/" + atLength.substr(5), ""},
      {"maps/" + atLength.substr(4), "bytes long"},
      {atLength + "/", "bytes long"},  // a folder entry joins with its trailing "/"
      // Dropped parts do not count: what is placed is what is measured.
      {"a" + std::string(3000, '/') + "b", ""},
      {"a/" + nestedDots(700) + "b", ""},
  };
  for (const Row& row : rows) {
    Result<EntryPath> path = SafeEntryPath(row.stored);
    const std::string shown = row.stored.substr(0, 40) + "... (" + std::to_string(row.stored.size()) + " bytes)";
    if (row.reasonHolds.empty()) {
      EXPECT_TRUE(path.ok()) << shown << ": " << path.error().text;
      continue;
    }
    ASSERT_FALSE(path.ok()) << shown;
    EXPECT_NE(path.error().text.find(row.reasonHolds), std::string::npos) << shown << ": " << path.error().text;
  }
}
