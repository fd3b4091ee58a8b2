#include "core/platform/util.h"

#include <gtest/gtest.h>

#include "testing/tempdir.h"

using namespace fdk;

TEST(UpperCaseUmlaut, AsciiAndUmlautsOnly) {
  EXPECT_EQ(UpperCaseUmlaut("zeusbots"), "ZEUSBOTS");
  EXPECT_EQ(UpperCaseUmlaut("\xE4\xF6\xFC"), "\xC4\xD6\xDC");                     // code page 1252
  EXPECT_EQ(UpperCaseUmlaut("\xC3\xA4\xC3\xB6\xC3\xBC"), "\xC3\x84\xC3\x96\xC3\x9C");  // UTF-8
  EXPECT_EQ(UpperCaseUmlaut("\xDF"), "\xDF");                                     // sharp s stays
  EXPECT_EQ(UpperCaseUmlaut("stra\xC3\x9F" "e"), "STRA\xC3\x9F" "E");
  EXPECT_EQ(UpperCaseUmlaut("\xC3" "a"), "\xC3" "A");  // a lone lead byte does not swallow the next letter
  EXPECT_EQ(UpperCaseUmlaut("Mod_1.ZIP"), "MOD_1.ZIP");
}

TEST(NumberText, ParsesOnlyWholeIntegers) {
  struct Row { const char* text; int value; bool whole; };
  const Row rows[] = {
      {"12", 12, true}, {"-7", -7, true}, {"+3", 3, true}, {"0", 0, true},
      {"12a", 0, false}, {"", 0, false}, {" 1", 0, false}, {"1 ", 0, false},
      {"-", 0, false}, {"+-1", 0, false}, {"99999999999", 0, false}, {"2147483647", 2147483647, true},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TextToIntOrZero(r.text), r.value) << '"' << r.text << '"';
    EXPECT_EQ(IsWholeNumber(r.text), r.whole) << '"' << r.text << '"';
  }
  EXPECT_EQ(IntToText(-42), "-42");
  EXPECT_EQ(IntToText(0), "0");
}

TEST(FileSizeOf, SizesAndMissing) {
  TempDir dir;
  dir.write("a.zip", std::string(1234, 'x'));
  EXPECT_EQ(FileSizeOf(dir.file("a.zip")), 1234);
  EXPECT_EQ(FileSizeOf(dir.file("nothing.zip")), -1);
  bool flag = false;
  FlipFlag(flag);
  EXPECT_TRUE(flag);
}
