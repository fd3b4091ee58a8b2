#include "core/launch/cleanup.h"

#include <gtest/gtest.h>

#include "core/store/settings.h"
#include "testing/tempdir.h"

using namespace fdk;

TEST(Cleanup, RemovesWorkFilesButKeepsSubFoldersAndGameFiles) {
  TempDir prog;
  prog.write("paktemp/pak0.pak", "x");
  prog.write("paktemp/pak1.pak", "x");
  prog.write("!-!.bmp", "x");
  prog.write("!-!.jpg", "x");
  prog.write("fdk.bmp", "keep");
  CleanUpLeftovers(prog.folder());
  EXPECT_FALSE(prog.exists("paktemp"));
  EXPECT_FALSE(prog.exists("!-!.bmp"));
  EXPECT_FALSE(prog.exists("!-!.jpg"));
  EXPECT_TRUE(prog.exists("fdk.bmp"));

  prog.write("paktemp/x.pak", "x");
  prog.write("paktemp/sub/keep.txt", "x");
  CleanUpLeftovers(prog.folder());
  EXPECT_FALSE(prog.exists("paktemp/x.pak"));
  EXPECT_TRUE(prog.exists("paktemp/sub/keep.txt"));  // only files directly inside are work files
}

TEST(Cleanup, LeftoverStartScripts) {
  TempDir games;
  games.write("quake/id1/q.cfg", "map dm2");
  games.write("quake/id1/config.cfg", "keep");
  games.write("quake2/baseq2/q.cfg", "map guer");
  Uvars vars;
  vars.q1.Path = games.folder() + "quake/";
  vars.q2.Path = games.folder() + "quake2/";
  DeleteLeftoverStartScripts(vars);
  EXPECT_FALSE(games.exists("quake/id1/q.cfg"));
  EXPECT_FALSE(games.exists("quake2/baseq2/q.cfg"));
  EXPECT_TRUE(games.exists("quake/id1/config.cfg"));
}
