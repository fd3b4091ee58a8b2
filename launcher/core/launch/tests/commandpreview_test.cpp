#include "core/launch/commandpreview.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/archive/catalogue.h"
#include "core/launch/launchsequence.h"
#include "core/launch/tests/recordingobserver.h"
#include "testing/gamesettings.h"
#include "testing/wait.h"

using namespace fdk;

namespace {

std::vector<std::string> splitAtNul(const std::string& bytes) {
  std::vector<std::string> words;
  for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
    words.push_back(bytes.substr(start, end - start));
  return words;
}

// The words /bin/sh makes of the text (popen hands the command to it).
std::vector<std::string> shellSplit(const std::string& text) {
  std::FILE* shell = ::popen(("printf '%s\\0' " + text).c_str(), "r");
  std::string out;
  char buffer[256];
  for (std::size_t n; shell != nullptr && (n = std::fread(buffer, 1, sizeof buffer, shell)) > 0;) out.append(buffer, n);
  if (shell != nullptr) ::pclose(shell);
  return splitAtNul(out);
}

TEST(CommandPreview, AShellMakesExactlyTheWordsBackOfTheText) {
  const std::vector<std::string> words = {
      "/usr/games/yquake2", "-datadir", "/home/player/My Games/quake 2", "+set", "game", "it's", "say \"hi\"",
      "$HOME", "`id`", "a;b", "*", "", "back\\slash", "tab\there", "line\nend", "~player", "ünïcode", "%+,-./:=@_"};
  const std::string text = ShellCommandText(words);
  EXPECT_EQ(shellSplit(text), words) << text;
  EXPECT_EQ(ShellCommandText({"/usr/games/quakespasm", "-basedir", "/games/quake", "+exec", "q.cfg"}),
            "/usr/games/quakespasm -basedir /games/quake +exec q.cfg")
      << "plain words stay as they are";
  EXPECT_EQ(ShellCommandText({"it's"}), "'it'\\''s'");
}

// The preview is made before the MOD is installed, yet names the MOD game
// folder the install finds, in the spelling the game folder already has; the
// game then gets exactly the previewed words.
TEST(CommandPreview, TheGameGetsExactlyThePreviewedWords) {
  GameTree tree;
  Uvars vars = VarsIn(tree.withBaseFolders());
  vars.q2.EXE = "quake 2";
  vars.q2.BaseArg = "-datadir";
  vars.q2.cddir = vars.q2.cmaplist = false;
  vars.q2.CmdLine = "+set skill '3'";
  vars.q2mod = "Arena";
  ASSERT_TRUE(tree.archive("mods2/Arena.zip", {{"ARENA/game.so", "mod"}}).ok());
  tree.write("quake2/arena/old.txt", "an earlier install");
  tree.script("quake2/quake 2", "printf '%s\\0' \"$0\" \"$@\" > words.bin\n");
  Tzipform zip;
  const std::vector<std::string> preview = StartWords(vars, Game::Quake2, zip);
  EXPECT_EQ(preview, (std::vector<std::string>{tree.quake2().game + "quake 2", "-datadir",
                                               tree.quake2().game.substr(0, tree.quake2().game.size() - 1), "+set",
                                               "game", "arena", "+exec", "q.cfg", "+set", "skill", "3"}));

  ProcessLayer processes;
  PakContentState pakContent;
  testhost::RecordingObserver observer;
  ASSERT_TRUE(RunLaunch(vars, Game::Quake2, {processes, zip, pakContent}, observer).ok());
  ASSERT_TRUE(Eventually([&] { return processes.runningCount() == 0; }, std::chrono::seconds(10)));
  EXPECT_EQ(splitAtNul(tree.read("quake2/words.bin")), preview);
}

}  // namespace
