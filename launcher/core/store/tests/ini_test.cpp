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
