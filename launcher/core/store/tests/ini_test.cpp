#include "core/store/ini.h"

#include <gtest/gtest.h>

#include <random>

#include "testing/tempdir.h"

using namespace fdk;

TEST(IniFile, ReadsKeysWithoutCaseAndValuesVerbatim) {
  IniFile ini = IniFile::parse(
      "; comment\n[Quake 1]\nPath=/games/quake/\r\n  NoSound = 1\nCmdLine=+set a=b  \n"
      "[quake 1]\nPath=/second/\n[Other]\nPath=x\n");
  EXPECT_EQ(ini.read("QUAKE 1", "path"), "/games/quake/");  // first section and key win, CR dropped
  EXPECT_EQ(ini.read("Quake 1", "Nosound"), " 1");            // value after '=' as stored
  EXPECT_EQ(ini.read("Quake 1", "CmdLine"), "+set a=b  ");
  EXPECT_FALSE(ini.read("Quake 1", "EXE").has_value());
  EXPECT_FALSE(ini.read("Quake 2", "Path").has_value());
}

TEST(IniFile, RoundTripKeepsEveryByte) {
  const char* files[] = {
      "[A]\nk=v\n",
      "[A]\r\nk=v\r\n\r\n[B]\r\nx=1\r\n",
      "junk before\n[A]\nk=v",  // no final line end
      "",
      "\n\n\n",
  };
  for (const char* f : files) EXPECT_EQ(IniFile::parse(f).serialize(), f);
}

TEST(IniFile, WritesInPlaceAppendsAndAddsSections) {
  IniFile ini = IniFile::parse("[A]\r\nKey=old\r\nother=1\r\n\r\n[B]\r\nb=2\r\n");
  ini.write("a", "key", "new");
  ini.write("A", "added", "3");
  ini.write("C", "c", "4");
  EXPECT_EQ(ini.serialize(),
            "[A]\r\nKey=new\r\nother=1\r\nadded=3\r\n\r\n[B]\r\nb=2\r\n\r\n[C]\r\nc=4\r\n");
}

TEST(IniFile, HostileBytesNeverCrash) {
  std::mt19937 rng(7);
  std::string noise(200000, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  std::string longLine = "[Quake 1]\nPath=" + std::string(10 * 1024 * 1024, 'p') + "\nEXE=q.exe\n";
  std::string nuls = std::string("[Quake 1]\0\nEXE=a\0b\n", 20);
  for (const std::string& bytes : {noise, longLine, nuls, std::string("no sections at all\nk=v\n")}) {
    IniFile ini = IniFile::parse(bytes);
    (void)ini.read("Quake 1", "EXE");
    ini.write("Quake 1", "EXE", "x");
    EXPECT_EQ(IniFile::parse(ini.serialize()).read("Quake 1", "EXE"), "x");
  }
  EXPECT_EQ(IniFile::parse(longLine).read("Quake 1", "EXE"), "q.exe");
  EXPECT_EQ(IniFile::parse(longLine).read("Quake 1", "Path")->size(), 10u * 1024 * 1024);
}

TEST(IniFile, ManyLineEndsReadAndWriteLikeAnyOtherFile) {
  // Just under the limit: a section, a sea of blank lines, then the keys.
  const std::string blanks(kMaxIniBytes - 100, '\n');
  const std::string file = "[Quake 1]\n" + blanks + "EXE=q.exe\n   \n\n[Quake 2]\nEXE=q2\n\n\n";
  IniFile ini = IniFile::parse(file);
  EXPECT_EQ(ini.read("Quake 1", "EXE"), "q.exe");
  EXPECT_EQ(ini.read("Quake 2", "exe"), "q2");
  // Compared as a whole: a difference between strings this long is too big to show.
  EXPECT_TRUE(ini.serialize() == file);

  ini.write("Quake 1", "Path", "/q/");  // after the last entry, before the blank lines that follow it
  ini.write("Quake 2", "EXE", "quake2");
  ini.write("Fragdock", "xinc", "0");
  EXPECT_TRUE(ini.serialize() ==
              "[Quake 1]\n" + blanks + "EXE=q.exe\nPath=/q/\n   \n\n[Quake 2]\nEXE=quake2\n\n\n[Fragdock]\nxinc=0\n");

  IniFile only = IniFile::parse(std::string(5000, '\n'));
  EXPECT_FALSE(only.read("Quake 1", "EXE").has_value());
  only.write("Quake 1", "EXE", "x");
  EXPECT_EQ(only.serialize(), std::string(5000, '\n') + "[Quake 1]\nEXE=x\n");
}

TEST(IniFile, KeysOutsideTheirSectionOrRepeatedAreNotTheOnesRead) {
  IniFile ini = IniFile::parse("EXE=before\n[A]\n\n\nk=1\nK=2\n\n[B]\nk=3\n[a]\nk=4\n");
  EXPECT_FALSE(ini.read("", "EXE").has_value());
  EXPECT_EQ(ini.read(" a ", " K "), "1");
  ini.write("A", "k", "5");
  ini.write("A", "new", "6");
  EXPECT_EQ(ini.serialize(), "EXE=before\n[A]\n\n\nk=5\nK=2\nnew=6\n\n[B]\nk=3\n[a]\nk=4\n");
  EXPECT_EQ(ini.read("a", "new"), "6");
}

TEST(IniFile, FilesOverTheLimitAreRefusedNamingThem) {
  TempDir dir;
  const std::string fits = dir.write("fits.ini", "[A]\nk=v\n" + std::string(kMaxIniBytes - 8, '\n'));
  const std::string over = dir.write("over.ini", "[A]\nk=v\n" + std::string(kMaxIniBytes - 7, '\n'));
  EXPECT_EQ(IniFile::load(fits).value().read("A", "k"), "v");
  Result<IniFile> refused = IniFile::load(over);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().text.find(over), std::string::npos) << refused.error().text;
  EXPECT_EQ(refused.error().kind, ErrorKind::TooLarge);
}
