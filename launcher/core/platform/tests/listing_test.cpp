#include "core/platform/listing.h"

#include <gtest/gtest.h>

#include "testing/tempdir.h"

using namespace fdk;

TEST(WildcardMatch, PatternsAndCase) {
  EXPECT_TRUE(WildcardMatch("*.zip", "dm6.zip"));
  EXPECT_TRUE(WildcardMatch("*.zip", "DM6.ZIP"));
  EXPECT_FALSE(WildcardMatch("*.zip", "dm6.zip.txt"));
  EXPECT_TRUE(WildcardMatch("*", ".hidden"));
  EXPECT_TRUE(WildcardMatch("a?c*", "abcdef"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*a*a*a*", std::string(5000, 'a')));
  EXPECT_FALSE(WildcardMatch("*a*a*b", std::string(5000, 'a')));
}

TEST(ListFolder, SortedFilteredAndMissingFolder) {
  TempDir dir;
  dir.write("b.zip", "");
  dir.write("a.ZIP", "");
  dir.write(".hidden.zip", "");
  dir.write("notes.txt", "");
  dir.write("sub.zip/inner", "");
  EXPECT_EQ(ListFolder(dir.folder(), "*.zip"), (std::vector<std::string>{".hidden.zip", "a.ZIP", "b.zip", "sub.zip"}));
  EXPECT_EQ(ListFolder(dir.folder(), "*.zip", {EntryKind::Files, true}), (std::vector<std::string>{"a.ZIP", "b.zip"}));
  EXPECT_EQ(ListFolder(dir.folder(), "*", {EntryKind::Folders, false}), (std::vector<std::string>{"sub.zip"}));
  EXPECT_TRUE(ListFolder(dir.folder() + "missing/", "*").empty());
}
