#include "core/platform/gameprocess.h"

#include <gtest/gtest.h>

#include "core/platform/processes.h"
#include "testing/tempdir.h"
#include "testing/wait.h"

using namespace fdk;

namespace {

// A started program leads a session of its own.
ProcessIdentity start(ProcessLayer& processes, const std::string& script, const TempDir& dir) {
  const std::string path = dir.write("game.sh", "#!/bin/sh\n" + script);
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  Result<pid_t> started = processes.Start(path, dir.folder());
  EXPECT_TRUE(started.ok()) << started.error().text;
  std::optional<ProcessIdentity> game = IdentifyProcess(*started);
  EXPECT_TRUE(game.has_value());
  return game.value_or(ProcessIdentity{});
}

TEST(GameSession, AProgramIsFollowedThroughWhatItStartsAndEnds) {
  struct Row {
    const char* what;
    const char* script;  // touches "ready" once the game proper runs, ends when "stop" appears
  };
  const Row rows[] = {
      {"the game itself", "touch ready; while [ ! -e stop ]; do sleep 0.05; done\n"},
      {"a script that runs the game in its place",
       "exec /bin/sh -c 'touch ready; while [ ! -e stop ]; do sleep 0.05; done'\n"},
      {"a wrapper that starts the game and ends",
       "/bin/sh -c 'touch ready; while [ ! -e stop ]; do sleep 0.05; done' &\nexit 0\n"},
  };
  for (const Row& row : rows) {
    TempDir dir;
    ProcessLayer processes;
    const ProcessIdentity game = start(processes, row.script, dir);
    EXPECT_EQ(game.session, game.pid) << row.what;
    ASSERT_TRUE(Eventually([&] { return dir.exists("ready"); })) << row.what;
    processes.Reap();
    EXPECT_TRUE(SessionRuns(game)) << row.what;
    dir.write("stop", "");
    EXPECT_TRUE(Eventually([&] {
      processes.Reap();
      return !SessionRuns(game);
    })) << row.what;
  }
}

TEST(GameSession, AnotherStartTimeIsAnotherProgram) {
  std::optional<ProcessIdentity> self = IdentifyProcess(::getpid());
  ASSERT_TRUE(self.has_value());
  EXPECT_EQ(self->pid, ::getpid());
  // Zero when our session's leader lives outside the system's view of us (a container).
  EXPECT_EQ(self->session, ::getsid(0));

  TempDir dir;
  ProcessLayer processes;
  const ProcessIdentity game = start(processes, "touch ready; while [ ! -e stop ]; do sleep 0.05; done\n", dir);
  ASSERT_TRUE(Eventually([&] { return dir.exists("ready"); }));
  EXPECT_TRUE(SessionRuns(game));
  // The same number with another start time is a later program, not the game.
  EXPECT_FALSE(SessionRuns(ProcessIdentity{game.pid, game.startTicks + 1, game.session}));
  EXPECT_FALSE(IdentifyProcess(0).has_value());
  EXPECT_FALSE(SessionRuns(ProcessIdentity{}));
  dir.write("stop", "");
  EXPECT_TRUE(Eventually([&] {
    processes.Reap();
    return !SessionRuns(game);
  }));
}

}  // namespace
