#include "core/store/storedtext.h"

#include <gtest/gtest.h>

using namespace fdk;

TEST(StoredText, ValidUtf8IsRecognised) {
  struct Row {
    const char* bytes;
    bool valid;
  };
  const Row rows[] = {
      {"plain", true},         {"K\xC3\xA4se", true},   {"\xE2\x82\xAC", true},    {"\xF0\x9F\x8E\xAE", true},
      {"K\xE4se", false},      {"\xC3", false},         {"\xC0\xAF", false},       {"\xE0\x80\xAF", false},
      {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false}, {"\x80", false},       {"\xFF", false},
  };
  for (const Row& r : rows) EXPECT_EQ(IsValidUtf8(r.bytes), r.valid) << r.bytes;
}

TEST(StoredText, UneditedValuesKeepTheirBytes) {
  for (std::string stored : {"fragdock", "K\xC3\xA4se", "K\xE4se \xFF\x80 server", "\xC3", ""}) {
    std::string shown = TextForDisplay(stored);
    EXPECT_TRUE(IsValidUtf8(shown));
    EXPECT_EQ(StoredAfterEdit(shown, stored), stored);
  }
  EXPECT_EQ(TextForDisplay("K\xE4se"), "K\xC3\xA4se") << "Latin-1 shows readably";
}

TEST(StoredText, EditedValuesKeepTheirEncodingWhereTheyCan) {
  EXPECT_EQ(StoredAfterEdit("K\xC3\xA4se!", "K\xE4se"), "K\xE4se!") << "Latin-1 stays Latin-1";
  EXPECT_EQ(StoredAfterEdit("\xE2\x82\xAC", "K\xE4se"), "\xE2\x82\xAC") << "no Latin-1 for the euro sign";
  EXPECT_EQ(StoredAfterEdit("K\xC3\xA4se!", "Kase"), "K\xC3\xA4se!") << "UTF-8 stays UTF-8";
}
