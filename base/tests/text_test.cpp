#include <gtest/gtest.h>

#include "base/pathsplit.h"
#include "base/report.h"
#include "base/text.h"

using namespace fdk;

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_TRUE(equalsNoCase("PAK0.PAK", "pak0.pak"));
  EXPECT_FALSE(equalsNoCase("pak0.pak", "pak0.pa"));
  EXPECT_FALSE(equalsNoCase("\xC4", "\xE4")) << "Latin-1 letters are not folded";
  EXPECT_FALSE(equalsNoCase("[", "{")) << "0x5B and 0x7B differ by the case bit but are not letters";
  EXPECT_TRUE(endsWithNoCase("maps/DM1.BSP", ".bsp"));
  EXPECT_FALSE(endsWithNoCase("bsp", ".bsp"));
  EXPECT_EQ(lowerAsciiCopy("Players/MALE/Tris.MD2"), "players/male/tris.md2");
}

TEST(Text, PathsSplitAtTheLastSeparator) {
  struct Row {
    const char* path;
    const char* folder;
    const char* name;
  };
  const Row rows[] = {{"/games/quake/id1/pak0.pak", "/games/quake/id1/", "pak0.pak"},
                      {"pak0.pak", "", "pak0.pak"},
                      {"/games/", "/games/", ""},
                      {"players\\male/tris.md2", "players\\male/", "tris.md2"}};
  for (const Row& r : rows) {
    EXPECT_EQ(folderPart(r.path), r.folder) << r.path;
    EXPECT_EQ(fileNamePart(r.path), r.name) << r.path;
  }
  EXPECT_EQ(folderPartAnySeparator("players/male\\tris.md2"), "players/male\\");
  EXPECT_EQ(fileNamePartAnySeparator("c:\\skins\\red.pcx"), "red.pcx");
}

TEST(Report, ListsWhatWasLeftOutOnePerLine) {
  Report report;
  EXPECT_TRUE(report.empty());
  report.skip("../evil", "outside the folder");
  Report more;
  more.skip("b.cfg", "a symbolic link");
  report.merge(more);
  EXPECT_EQ(report.size(), 2u);
  EXPECT_EQ(report.text(), "../evil: outside the folder\nb.cfg: a symbolic link");
}
