#include "core/checks/gamefiles.h"

#include <gtest/gtest.h>

#include "testing/tempdir.h"

using namespace fdk;

// Only "pak<number>.pak" in any letter case is a numbered PAK: the engines build
// these names from numbers, so "pak01.pak" is never one of them.
TEST(GameFiles, NumberedPaksInAnySpellingByNumber) {
  TempDir dir;
  for (const char* name : {"pak10.pak", "PAK1.PAK", "pak0.pak", "Pak1.pak", "pak01.pak", "pak.pak", "paks.pak",
                           "pak1234567.pak", "pak2.pak.bak", "pak-1.pak", "pak3.pak/x"})
    dir.write(std::string("base/") + name, "PACK");
  std::vector<std::pair<std::string, int>> found;
  for (const PakFile& pak : PakFilesIn(dir.file("base/"))) found.emplace_back(pak.name, pak.number);
  EXPECT_EQ(found, (std::vector<std::pair<std::string, int>>{{"pak0.pak", 0}, {"PAK1.PAK", 1}, {"Pak1.pak", 1},
                                                              {"pak10.pak", 10}}));
  EXPECT_TRUE(PakFilesIn(dir.file("missing/")).empty());
  EXPECT_EQ(BaseFolderName(Game::Quake2), "baseq2");
}
