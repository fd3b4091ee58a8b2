#include "core/platform/processes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "testing/tempdir.h"
#include "testing/wait.h"

using namespace fdk;

TEST(SplitCommandLine, QuotesGroupAndNothingExpands) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("quake2 +set game ctf +exec q.cfg "), (V{"quake2", "+set", "game", "ctf", "+exec", "q.cfg"}));
  EXPECT_EQ(SplitCommandLine("q \"two words\" 'and $HOME' a\\b"), (V{"q", "two words", "and $HOME", "a\\b"}));
  EXPECT_EQ(SplitCommandLine("x \"\" y"), (V{"x", "", "y"}));
  EXPECT_EQ(SplitCommandLine("  "), V{});
  EXPECT_EQ(SplitCommandLine("a\"b c\"d"), (V{"ab cd"}));
}

TEST(ProcessLayer, StartsInTheWorkFolderAndTracksUntilTheEnd) {
  TempDir dir;
  dir.write("tool.sh", "#!/bin/sh\npwd > where.txt\necho \"$@\" > args.txt\nsleep 0.3\n");
  std::filesystem::permissions(dir.file("tool.sh"), std::filesystem::perms::owner_all);
  ProcessLayer layer;
  Result<pid_t> r = layer.Start("tool.sh pcx2bmp \"a b\"", dir.folder());
  ASSERT_TRUE(r.ok()) << r.error().text;
  EXPECT_TRUE(layer.StartedProgramRuns("PCX2BMP"));
  EXPECT_TRUE(layer.StartedProgramRuns("2bm"));
  EXPECT_FALSE(layer.StartedProgramRuns("spak"));
  EXPECT_TRUE(Eventually([&] { return !layer.StartedProgramRuns("pcx2bmp"); }));
  EXPECT_EQ(dir.read("args.txt"), "pcx2bmp a b\n");
  EXPECT_EQ(dir.read("where.txt"), std::filesystem::canonical(dir.folder()).string() + "\n");
}

TEST(ProcessLayer, FailuresNameTheProgramAndFolder) {
  TempDir dir;
  dir.write("data.txt", "not a program");
  ProcessLayer layer;
  struct Row { std::string line, folder, why; };
  const Row rows[] = {
      {"quake2.exe +exec q.cfg", dir.folder(), "does not exist"},
      {"data.txt", dir.folder(), "not executable"},
      {"quake2", dir.folder() + "nowhere/", "folder does not exist"},
      {"", dir.folder(), "empty"},
  };
  for (const Row& row : rows) {
    Result<pid_t> r = layer.Start(row.line, row.folder);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error().text.find(row.why), std::string::npos) << r.error().text;
    EXPECT_NE(r.error().text.find(row.folder), std::string::npos) << r.error().text;
  }
  EXPECT_EQ(layer.runningCount(), 0u);
}

TEST(ProcessLayer, KeepsTheOutputAndTheExitCodeOfAProgramThatEnded) {
  TempDir dir;
  dir.write("fails.sh", "#!/bin/sh\necho \"Unable to read model skin.\" >&2\necho out\nexit 255\n");
  std::filesystem::permissions(dir.file("fails.sh"), std::filesystem::perms::owner_all);
  ProcessLayer layer;
  Result<pid_t> r = layer.Start("fails.sh", dir.folder(), {dir.file("output.txt")});
  ASSERT_TRUE(r.ok()) << r.error().text;
  Eventually([&] { return layer.ExitCode(*r).has_value(); });
  EXPECT_EQ(layer.ExitCode(*r), 255);
  EXPECT_EQ(dir.read("output.txt"), "Unable to read model skin.\nout\n");
  EXPECT_EQ(layer.ExitCode(12345678), std::nullopt);
}
