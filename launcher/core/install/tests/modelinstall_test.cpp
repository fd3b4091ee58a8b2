#include "core/install/modelinstall.h"

#include <gtest/gtest.h>

#include "core/install/tests/recordinghost.h"
#include "testing/gamesettings.h"

using namespace fdk;

namespace {

using testhost::RecordingHost;

struct Store {
  GameTree tree;
  GameSettings q2 = SettingsIn(tree.quake2());
};

TEST(InstallChosenModels, APackChosenTwiceInARowIsReadOnceAndNoFileIsReplaced) {
  Store s;
  ASSERT_TRUE(s.tree
                  .archive("models2/scout.zip", {{"baseq2/players/scout/tris.md2", "mesh!"},
                                                 {"baseq2/players/scout/red.pcx", "new red"},
                                                 {"baseq2/players/scout/red_i.pcx", "icon"}})
                  .ok());
  s.tree.write("quake2/BaseQ2/Players/Scout/RED.PCX", "the player's own red");
  RecordingHost host;
  Tzipform zip;
  Report report = InstallChosenModels(s.q2, {{"scout", "red"}, {"scout", "blue"}}, zip, host).leftOut;
  EXPECT_TRUE(report.empty()) << report.text();
  // Uncompressed bytes of one reading of the pack, counted and done alike.
  EXPECT_EQ(host.calls, (std::vector<std::string>{"begin Processing Models", "counted 5", "counted 7", "counted 4",
                                                  "second pass", "done 5", "done 7", "done 4", "end"}));
  EXPECT_EQ(s.tree.read("quake2/BaseQ2/Players/Scout/RED.PCX"), "the player's own red");
  EXPECT_EQ(s.tree.read("quake2/BaseQ2/Players/Scout/tris.md2"), "mesh!");
  EXPECT_FALSE(s.tree.exists("quake2/baseq2"));
}

TEST(InstallChosenModels, NoPairsShowNoProgressAndAGonePackIsReported) {
  Store s;
  RecordingHost host;
  Tzipform zip;
  EXPECT_TRUE(InstallChosenModels(s.q2, {}, zip, host).leftOut.empty());
  EXPECT_TRUE(host.calls.empty());

  ASSERT_TRUE(s.tree.archive("models2/ok.zip", {{"../../escape.txt", "x"}, {"baseq2/players/ok/tris.md2", "m"}}).ok());
  Report report = InstallChosenModels(s.q2, {{"gone", "red"}, {"ok", "red"}}, zip, host).leftOut;
  EXPECT_NE(report.text().find("gone"), std::string::npos);
  EXPECT_NE(report.text().find("escape"), std::string::npos);
  EXPECT_TRUE(s.tree.exists("quake2/baseq2/players/ok/tris.md2"));
  EXPECT_FALSE(s.tree.exists("escape.txt"));
  EXPECT_TRUE(host.oneRunOrNone());
  EXPECT_EQ(host.only("end").size(), 1u);
}

}  // namespace
