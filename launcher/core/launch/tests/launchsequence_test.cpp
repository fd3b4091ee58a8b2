#include "core/launch/launchsequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "core/launch/launch.h"
#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

struct Quiet : LaunchObserver {
  std::vector<LaunchStep> steps;
  void stepStarted(LaunchStep step) override { steps.push_back(step); }
  void leftOut(const Report&) override {}
  void begin(const std::string&) override {}
  void counted(std::uint64_t) override {}
  void secondPass() override {}
  void done(std::uint64_t) override {}
  bool ask(const std::string&) override { return true; }
  void end() override {}
  bool Ask(std::string_view) override { return true; }
};

// A Quake 2 folder whose "game" writes its arguments, one a line, into args.txt.
struct Q2Launch {
  TempDir dir;
  Uvars vars;
  ProcessLayer processes;
  Tzipform zip;
  PakContentState pakContent;
  Quiet observer;

  Q2Launch() {
    AssignDefaults(vars, DefaultRoots{dir.folder()});
    vars.programFolder = dir.folder() + "prog/";
    vars.q2.Path = dir.folder() + "quake2/";
    vars.q2.Patch = dir.folder() + "mods/";
    vars.q2.EXE = "quake 2";
    vars.q2.cddir = false;
    vars.q2.cmaplist = false;
    std::filesystem::create_directories(dir.file("quake2/baseq2"));
    std::filesystem::create_directories(dir.file("mods"));
    dir.write("quake2/quake 2", "#!/bin/sh\nprintf '%s\\n' \"$@\" > args.txt\n");
    std::filesystem::permissions(dir.file("quake2/quake 2"), std::filesystem::perms::owner_all);
  }
  void mod(const std::string& name, const std::string& folder) {
    vars.q2mod = name;
    ASSERT_TRUE(WriteArchive(dir.file("mods/" + name + ".zip"), {{folder + "/game.so", "mod"}}).ok());
  }
  Status run() { return RunLaunch(vars, Game::Quake2, {processes, zip, pakContent}, observer); }
  // The game's arguments once it has ended.
  std::string arguments() {
    for (int i = 0; i < 500 && processes.runningCount() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return dir.exists("quake2/args.txt") ? dir.read("quake2/args.txt") : "(not started)";
  }
};

}  // namespace

TEST(LaunchNames, AModFolderWithABlankReachesTheGameAsOneWord) {
  Q2Launch l;
  l.mod("Cool Mod", "Cool Mod");
  ASSERT_TRUE(l.run().ok());
  EXPECT_EQ(l.arguments(), "+set\ngame\nCool Mod\n+exec\nq.cfg\n");
  EXPECT_EQ(l.observer.steps.front(), LaunchStep::CheckNames);
}

TEST(LaunchNames, AModWhoseNamesWouldAddConsoleCommandsIsRefusedBeforeAnythingIsWritten) {
  struct Row {
    const char* mod;
    const char* folder;  // the MOD game folder its archive names
  };
  const Row rows[] = {
      {"evil", "evil +set rcon_password owned +exec evil.cfg"},
      {"evil", "evil;exec evil.cfg"},
      {"evil", "evil\"x"},
      {"evil 'x", "ok"},
      {"evil\r", "ok"},
  };
  for (const Row& r : rows) {
    Q2Launch l;
    l.mod(r.mod, r.folder);
    const Status refused = l.run();
    ASSERT_FALSE(refused.ok()) << r.folder;
    EXPECT_NE(refused.error().text.find("MOD"), std::string::npos) << refused.error().text;
    EXPECT_EQ(l.observer.steps, std::vector<LaunchStep>{LaunchStep::CheckNames}) << r.folder;
    EXPECT_FALSE(l.dir.exists("quake2/baseq2/q.cfg")) << r.folder;
    EXPECT_FALSE(std::filesystem::exists(l.vars.q2.Path + r.folder)) << r.folder;
    EXPECT_EQ(l.processes.runningCount(), 0u);
    EXPECT_EQ(l.arguments(), "(not started)");
  }
}

namespace {

volatile std::sig_atomic_t gAskedToEnd = 0;
void askedToEnd(int) { gAskedToEnd = 1; }

// The launcher's way with SIGTERM: noted, and the program ends in its own time.
struct EndsDuringTheInstall : Quiet {
  void done(std::uint64_t) override {
    if (gAskedToEnd == 0) ::raise(SIGTERM);
  }
};

}  // namespace

// In a child process: the stop a signal leaves behind lasts for the process.
TEST(LaunchStop, ASignalDuringTheInstallsStartsNoGame) {
  Q2Launch l;
  l.mod("mymod", "mymod");
  const pid_t child = ::fork();
  if (child == 0) {
    struct sigaction own {};
    own.sa_handler = askedToEnd;
    sigemptyset(&own.sa_mask);
    ::sigaction(SIGTERM, &own, nullptr);
    EndsDuringTheInstall observer;
    Status started = RunLaunch(l.vars, Game::Quake2, {l.processes, l.zip, l.pakContent}, observer);
    const bool startStep = std::find(observer.steps.begin(), observer.steps.end(), LaunchStep::StartGame) !=
                           observer.steps.end();
    ::_exit(gAskedToEnd == 1 && !started.ok() && !startStep ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the game was started, or the launch did not see the stop";
  EXPECT_FALSE(l.dir.exists("quake2/args.txt"));
}
