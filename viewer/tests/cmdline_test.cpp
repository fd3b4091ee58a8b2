#include "meshpeek/cmdline.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CommandLine, FourWordsByExtensionAnywhereOnTheLine) {
  const auto line = meshpeek::parseCommandLine("skins.LST x.PAK models/a/tris.MD2 junk grunt.pcx");
  EXPECT_EQ(line.model, "models/a/tris.MD2");
  EXPECT_EQ(line.pak, "x.PAK");
  EXPECT_EQ(line.skin, "grunt.pcx");
  EXPECT_EQ(line.list, "skins.LST");
  const auto empty = meshpeek::parseCommandLine("");
  EXPECT_TRUE(empty.model.empty() && empty.pak.empty() && empty.skin.empty() && empty.list.empty());
}

TEST(CommandLine, WordsLongerThanThePathBufferAreCut) {
  const std::string longName = std::string(300, 'd') + "/tris.md2";
  const auto line = meshpeek::parseCommandLine(longName);
  EXPECT_EQ(line.model, std::string(255, 'd'));
}

TEST(CommandLine, ArgumentsJoinWithSingleBlanks) {
  const char* argv[] = {"meshpeek", "a/tris.md2", "b/skin.pcx"};
  EXPECT_EQ(meshpeek::joinArguments(3, argv), "a/tris.md2 b/skin.pcx");
  EXPECT_EQ(meshpeek::joinArguments(1, argv), "");
}

TEST(CommandLine, OnlyExactHelpAndVersionWordsAskForInformation) {
  using meshpeek::InfoRequest;
  const struct {
    std::vector<const char*> args;
    InfoRequest expected;
  } rows[] = {
      {{"--help"}, InfoRequest::Help},
      {{"-h"}, InfoRequest::Help},
      {{"--version"}, InfoRequest::Version},
      {{"tris.md2", "-v"}, InfoRequest::Version},
      {{"--version", "--help"}, InfoRequest::Version},
      {{}, InfoRequest::None},
      {{"tris.md2", "skin.pcx"}, InfoRequest::None},
      {{"--help.md2"}, InfoRequest::None},
      {{"--helpful", "-hv", "-V", "--Version"}, InfoRequest::None},
  };
  for (const auto& row : rows) {
    std::vector<const char*> argv{"meshpeek"};
    argv.insert(argv.end(), row.args.begin(), row.args.end());
    EXPECT_EQ(meshpeek::infoRequest(static_cast<int>(argv.size()), argv.data()), row.expected)
        << (row.args.empty() ? "(nothing)" : row.args.front());
  }
}
