// The real `term` program: started the way the launcher starts it, once a game
// runs in a session of its own, with a game that is a script running the
// stand-in game, or a wrapper that starts it and ends at once.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <thread>

#include <sys/wait.h>

#include "core/platform/gameprocess.h"
#include "core/platform/processes.h"
#include "term/core/records.h"
#include "termtesting.h"
#include "testing/wait.h"

using namespace fdk;
using namespace fdk::termtest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// The exit code once the program ends; nullopt when it outlives any sane bound (it is killed then).
std::optional<int> waitExit(ProcessLayer& processes, pid_t pid) {
  if (Eventually([&] { return processes.ExitCode(pid).has_value(); })) return processes.ExitCode(pid);
  ::kill(pid, SIGKILL);
  return std::nullopt;
}

struct TermProgram : ::testing::Test {
  Rig rig;
  ProcessLayer processes;
  std::map<std::string, std::string> original = FolderContents(rig.root);

  void SetUp() override { fs::copy_file(FRAGDOCK_TERM, rig.program + "term"); }

  Result<pid_t> run(const std::string& args) {
    return processes.Start("\"" + rig.program + "term\" " + args, rig.program,
                           StartOptions{rig.dir.folder() + "term-output.txt"});
  }
};

TEST_F(TermProgram, WaitsForAGameStartedThroughAScriptOrAWrapperThenPutsTheFolderBack) {
  const std::string standin = FRAGDOCK_STANDIN;
  const std::string play =
      "FRAGDOCK_STANDIN_STAY_MS=300 FRAGDOCK_STANDIN_TOUCH=mod/pak0.pak FRAGDOCK_STANDIN_SAVE=mod/save/s1.sav ";
  const struct {
    const char* what;
    std::string script;
  } games[] = {
      {"a script that runs the game in its place", "#!/bin/sh\nexport " + play + "\nexec " + standin + "\n"},
      {"a wrapper that starts the game and ends", "#!/bin/sh\nexport " + play + "\n" + standin + " &\nexit 0\n"},
  };
  for (const auto& game : games) {
    Launch launch(rig, 1);
    launch.replace("baseq2/config.cfg", "exec set.cfg").folder("mod").file("mod/pak0.pak", "mod");
    launch.folder("mod/maps").file("mod/maps/m1.bsp", "m1");
    const std::string script = rig.dir.write("quake2/run-game", game.script);
    fs::permissions(script, fs::perms::owner_all);
    // The launch's last steps: the game, its identity in the record, then term.
    const Result<pid_t> started = processes.Start(script, rig.root);
    ASSERT_TRUE(started.ok()) << started.error().text;
    launch.started(IdentifyProcess(*started).value()).write();
    std::optional<Result<RecordLock>> launcher(RecordLock::Take(launch.path(), true));
    const Result<pid_t> term = run("--record \"" + launch.path() + "\"");
    ASSERT_TRUE(term.ok()) << term.error().text;
    launcher.reset();
    EXPECT_EQ(waitExit(processes, *term), 0) << game.what << "\n" << rig.log();

    // The game changed the pack and saved: both stay, with the folders holding them.
    auto expected = original;
    expected["mod"] = "/";
    expected["mod/pak0.pak"] = "modchanged while playing\n";
    expected["mod/save"] = "/";
    expected["mod/save/s1.sav"] = "saved game\n";
    expected["run-game"] = game.script;
    expected["standin-launch.txt"] = "folder=" + rig.root.substr(0, rig.root.size() - 1) + "\n";
    EXPECT_EQ(FolderContents(rig.root), expected) << game.what;
    EXPECT_FALSE(fs::exists(launch.path())) << game.what;
    EXPECT_NE(rig.log().find("term 2: finished 1 record: removed 1 file and 1 folder, put back 1 file, kept 1 changed "
                             "file, kept 1 folder that are not empty; the game ended"),
              std::string::npos)
        << rig.log();
    fs::remove_all(rig.root + "mod");
    fs::remove(rig.program + "term.log");
  }
}

TEST_F(TermProgram, DryRunHelpAndMistakes) {
  Launch launch(rig, 1);
  launch.file("mine.pak", "m").write();
  const struct {
    std::string args;
    int code;
    std::string output;
  } rows[] = {
      {"--dry-run 2", 0, "remove " + rig.root + "mine.pak\n"},
      {"--help", 0, "usage: term --record PATH"},
      {"3", 2, "which game"},
      {"--dry-run", 2, "which game"},
      {"--record", 2, "which game"},
      {"2 --force", 2, "unexpected arguments"},
      {"--record " + rig.records + "elsewhere.txt", 2, "is not the name of a launch record"},
  };
  for (const auto& row : rows) {
    const Result<pid_t> term = run(row.args);
    ASSERT_TRUE(term.ok()) << term.error().text;
    EXPECT_EQ(waitExit(processes, *term), row.code) << row.args;
    EXPECT_NE(rig.dir.read("term-output.txt").find(row.output), std::string::npos)
        << row.args << ": " << rig.dir.read("term-output.txt");
  }
  EXPECT_TRUE(fs::exists(rig.root + "mine.pak"));
  EXPECT_TRUE(fs::exists(launch.path()));
}

}  // namespace
