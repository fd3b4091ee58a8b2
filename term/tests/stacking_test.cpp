// Launches of one game folder stack: the latest launch's record is finished
// first, and a term waits while a later launch or its game still holds the folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>
#include <thread>

#include "core/platform/gameprocess.h"
#include "core/platform/processes.h"
#include "term/core/records.h"
#include "term/core/termrun.h"
#include "termtesting.h"
#include "testing/wait.h"

using namespace fdk;
using namespace fdk::termtest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {



std::future<int> startTerm(const Rig& rig, const std::string& record) {
  return std::async(std::launch::async, [&rig, record] {
    TermOptions options;
    options.mode = TermOptions::Mode::Record;
    options.record = record;
    options.poll = 10ms;
    std::ostringstream out, err;
    return RunTerm(options, rig.program, out, err);
  });
}

bool held(const std::string& record) {
  Result<RecordLock> lock = RecordLock::Take(record, false);
  return lock && lock->state() == RecordLock::State::Busy;
}

// A game in a session of its own that plays until told to stop.
struct LiveGame {
  TempDir dir;
  ProcessLayer processes;
  ProcessIdentity identity;
  LiveGame() {
    const std::string script = dir.write("game.sh", "#!/bin/sh\nwhile [ ! -e stop ]; do sleep 0.02; done\n");
    fs::permissions(script, fs::perms::owner_all);
    const Result<pid_t> started = processes.Start(script, dir.folder());
    EXPECT_TRUE(started.ok()) << started.error().text;
    identity = IdentifyProcess(*started).value_or(ProcessIdentity{});
  }
  void stop() { dir.write("stop", ""); }
  ~LiveGame() {
    stop();
    Eventually([&] {
      processes.Reap();
      return !SessionRuns(identity);
    });
  }
};

struct Stacked : ::testing::Test {
  Rig rig;
  std::map<std::string, std::string> original = FolderContents(rig.root);
  // Two launches of one folder, each replacing the config the one before left.
  Launch first{rig, 1};
  Launch second{rig, 2};
  void SetUp() override {
    first.replace("baseq2/config.cfg", "exec first.cfg").folder("mod1").file("mod1/pak0.pak", "one").started();
    first.write();
    second.replace("baseq2/config.cfg", "exec the second set.cfg").file("mod1/pak1.pak", "two");
  }
};

TEST_F(Stacked, TheEarlierTermWaitsWhileTheLaterLaunchHoldsItsRecordThenFinishesBothInTurn) {
  second.started().write();
  std::optional<Result<RecordLock>> launcher(RecordLock::Take(second.path(), true));
  std::future<int> term = startTerm(rig, first.path());
  ASSERT_TRUE(Eventually([&] { return held(first.path()); }));
  EXPECT_TRUE(fs::exists(second.path()));
  EXPECT_EQ(rig.dir.read("quake2/baseq2/config.cfg"), "exec the second set.cfg");
  launcher.reset();
  EXPECT_EQ(term.get(), 0) << rig.log();
  // Finished the other way round, the first record would not know the second's config.
  EXPECT_EQ(FolderContents(rig.root), original);
  EXPECT_FALSE(fs::exists(first.path()));
  EXPECT_FALSE(fs::exists(second.path()));
  EXPECT_NE(rig.log().find("finished 2 records: removed 2 files and 1 folder, put back 2 files"), std::string::npos)
      << rig.log();
}

TEST_F(Stacked, ALaterRecordWhoseTermDiedIsFinishedOnceItsGameEnds) {
  LiveGame game;
  second.started(game.identity).write();
  std::future<int> term = startTerm(rig, first.path());
  ASSERT_TRUE(Eventually([&] { return held(first.path()); }));
  EXPECT_EQ(rig.dir.read("quake2/baseq2/config.cfg"), "exec the second set.cfg");
  EXPECT_TRUE(fs::exists(rig.root + "mod1/pak1.pak"));
  game.stop();
  EXPECT_EQ(term.get(), 0) << rig.log();
  EXPECT_EQ(FolderContents(rig.root), original);
  EXPECT_EQ(RecordFolder(rig.records).List(), std::vector<std::string>{});
}

TEST_F(Stacked, EarlierRecordsLeftBehindAreFinishedAfterOnesOwnUpToOneStillHeld) {
  second.started().write();
  // The first launch's term died; a third, older still, is held by its term.
  Launch zeroth(rig, 0);
  zeroth.file("zeroth.txt", "0").write();
  Result<RecordLock> zerothTerm = RecordLock::Take(zeroth.path(), true);
  TermOptions options;
  options.mode = TermOptions::Mode::Record;
  options.record = second.path();
  std::ostringstream out, err;
  EXPECT_EQ(RunTerm(options, rig.program, out, err), 0) << err.str();
  auto expected = original;
  expected["zeroth.txt"] = "0";
  EXPECT_EQ(FolderContents(rig.root), expected);
  EXPECT_EQ(RecordFolder(rig.records).List(), std::vector<std::string>{zeroth.id()});
}

TEST_F(Stacked, TermForAGameLeavesEverythingBelowARecordInUse) {
  second.started().write();
  {
    Result<RecordLock> secondTerm = RecordLock::Take(second.path(), true);
    TermOptions options;
    options.mode = TermOptions::Mode::Game;
    options.game = '2';
    std::ostringstream out, err;
    EXPECT_EQ(RunTerm(options, rig.program, out, err), 0);
    EXPECT_EQ(RecordFolder(rig.records).List(), (std::vector<std::string>{first.id(), second.id()}));
  }
  TermOptions options;
  options.mode = TermOptions::Mode::Game;
  options.game = '2';
  std::ostringstream out, err;
  EXPECT_EQ(RunTerm(options, rig.program, out, err), 0);
  EXPECT_EQ(FolderContents(rig.root), original);
}

}  // namespace
