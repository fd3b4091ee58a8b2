#include <gtest/gtest.h>

#include "formats/skinlist.h"
#include "formats/text.h"

TEST(Tokens, WordEndingWithTheFirstExtensionWithoutRegardToCase) {
  const struct {
    const char* text;
    const char* extension;
    const char* token;
  } rows[] = {
      {"C:/q2/players/male/tris.md2 C:/q2/players/male/grunt.pcx", ".md2", "C:/q2/players/male/tris.md2"},
      {"C:/q2/players/male/tris.md2 C:/q2/players/male/grunt.pcx", ".pcx", "C:/q2/players/male/grunt.pcx"},
      {"x.PAK models/a/tris.MD2", ".pak", "x.PAK"},
      {"x.PAK models/a/tris.MD2", ".md2", "models/a/tris.MD2"},
      {"\"a b.md2\"", ".md2", "b.md2"},
      {"\"quoted.md2\" rest", ".md2", "\"quoted.md2"},
      {"pak0.pak", ".md2", ""},
      {"", ".lst", ""},
      {"one.md2x two.md2", ".md2", "one.md2"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(formats::tokenEndingWith(row.text, row.extension), row.token) << row.text << " " << row.extension;
  }
}

TEST(SkinList, NamesFollowTheModelsOwnInFileOrder) {
  const auto listed = formats::parseSkinList("skins/a.pcx\nnotes\r\nx B.PCX\n");
  EXPECT_EQ(formats::mergeSkinNames({"own1.pcx", "own2.pcx"}, listed),
            (std::vector<std::string>{"own1.pcx", "own2.pcx", "skins/a.pcx", "B.PCX"}));
}

TEST(SkinList, LongLinesAreReadInPiecesOf255) {
  const std::string line = std::string(250, 'a') + "/first.pcx" + std::string(250, 'b') + " second.pcx";
  // Piece 1 holds 250 a's and "/firs": no ".pcx"; piece 2 starts "t.pcx...".
  const auto names = formats::parseSkinList(line);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "t.pcx");
  EXPECT_EQ(names[1], "second.pcx");
}
