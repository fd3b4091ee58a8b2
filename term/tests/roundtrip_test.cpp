// A whole round trip: a Quake 2 launch through the launcher's core with Use
// Terminator on (a MOD, a map, a config set whose config.cfg replaces the
// game's), the real `term` it starts, and a game that is the stand-in game
// behind a wrapper or a script. Once every game has ended, the game folder is
// as it was before the launch, plus what the game made.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/launch/launchsequence.h"
#include "core/launch/tests/recordingobserver.h"
#include "termtesting.h"
#include "testing/gamesettings.h"
#include "testing/wait.h"

using namespace fdk;
using namespace fdk::termtest;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

using testhost::RecordingObserver;

// How often a folder itself is opened, that is listed, by any process.
class FolderListings {
 public:
  explicit FolderListings(const std::string& folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0 && ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_ONLYDIR) < 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  ~FolderListings() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderListings(const FolderListings&) = delete;
  FolderListings& operator=(const FolderListings&) = delete;

  bool watching() const { return fd_ >= 0; }
  // The listings since the watch began, as far as they have been told.
  int count() {
    alignas(inotify_event) char events[4096];
    for (ssize_t n; fd_ >= 0 && (n = ::read(fd_, events, sizeof events)) > 0;)
      for (const char* at = events; at < events + n;) {
        const auto* event = reinterpret_cast<const inotify_event*>(at);
        if ((event->mask & IN_ISDIR) != 0 && event->len == 0) ++count_;  // the folder itself, not an entry
        at += sizeof(inotify_event) + event->len;
      }
    return count_;
  }

 private:
  int fd_;
  int count_ = 0;
};

// The stand-in game and the scripts read how to play from the environment,
// which a started game inherits from this process.
struct Playing {
  std::vector<std::string> names;
  Playing(std::initializer_list<std::pair<const char*, const char*>> settings) {
    for (const auto& [name, value] : settings) {
      ::setenv(name, value, 1);
      names.push_back(name);
    }
  }
  ~Playing() {
    for (const std::string& name : names) ::unsetenv(name.c_str());
  }
};

struct RoundTrip : ::testing::Test {
  GameTree tree;
  std::string program = tree.program();
  std::string game = tree.quake2().game;
  std::string marks = tree.folder() + "marks/";  // what scripted games tell the test
  Uvars vars = VarsIn(tree);
  ProcessLayer processes;
  Tzipform zip;
  PakContentState pakContent;
  RecordingObserver observer;
  std::map<std::string, std::string> original;

  void SetUp() override {
    fs::create_directories(program);
    fs::create_directories(marks);
    fs::copy_file(FRAGDOCK_TERM, program + "term");
    tree.write("quake2/baseq2/pak0.pak", "pak0");
    tree.write("quake2/baseq2/config.cfg", "bind x jump");
    tree.write("quake2/baseq2/maps/base1.bsp", "base1");
    ASSERT_TRUE(
        tree.archive("mods2/mymod.zip", {{"mymod/pak0.pak", "mod pak"}, {"mymod/docs/readme.txt", "read me"}}).ok());
    ASSERT_TRUE(tree.archive("maps2/arena.zip", {{"baseq2/maps/arena.bsp", "arena"}}).ok());
    ASSERT_TRUE(tree.archive("maps2/duel.zip", {{"baseq2/maps/duel.bsp", "duel"}}).ok());
    tree.write("cfgs2/set/config.cfg", "bind x duel");
    GameSettings& q2 = vars.q2;
    q2.ACFG = "set";
    q2.Terminatr = true;
    q2.cddir = false;
    q2.cmaplist = false;
    vars.q2mod = "mymod";
    vars.q2maps.chosen = {"arena"};
    original = FolderContents(game);
  }

  // The game the launch starts: a script outside the game folder.
  void gameScript(const std::string& body) {
    const std::string path = tree.write("scripts/game", "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all);
    vars.q2.EXE = path;
  }
  std::string standin() const { return std::string("\"") + FRAGDOCK_STANDIN + "\""; }
  // A game that plays until the test lets it end: "stop-<player>" in marks.
  void heldGame() {
    gameScript("p=$FRAGDOCK_TEST_PLAYER\ntouch \"" + marks + "playing-$p\"\nwhile [ ! -e \"" + marks +
               "stop-$p\" ]; do sleep 0.05; done\ntouch \"" + marks + "ended-$p\"\n");
  }

  void launch() {
    Status started = RunLaunch(vars, Game::Quake2, {processes, zip, pakContent}, observer);
    ASSERT_TRUE(started.ok()) << started.error().text;
  }
  // Every term this test's launches started has ended.
  bool termsEnded() {
    return Eventually([&] { return !processes.StartedProgramRuns("--record"); });
  }
  std::string log() const {
    std::ifstream in(program + "term.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t recordsLeft() const {
    std::size_t n = 0;
    if (fs::exists(program + "records"))
      for (const auto& entry : fs::directory_iterator(program + "records"))
        n += entry.path().extension() == ".record";
    return n;
  }
  // What the stand-in game wrote about its start: its folder, then its arguments.
  std::string played() const {
    const std::string said = tree.read("quake2/standin-launch.txt");
    EXPECT_EQ(said.rfind("folder=" + game.substr(0, game.size() - 1) + "\narg=+set\narg=game\narg=mymod\n", 0), 0u)
        << said;
    return said;
  }
};

TEST_F(RoundTrip, TheFolderComesBackByteForBytePlusWhatTheGameMade) {
  gameScript("exec " + standin() + " \"$@\"\n");
  Playing playing{{"FRAGDOCK_STANDIN_STAY_MS", "300"}, {"FRAGDOCK_STANDIN_SAVE", "mymod/save/slot1.sav"}};
  launch();
  EXPECT_EQ(tree.read("quake2/baseq2/config.cfg"), "bind x duel") << "the config set's copy while playing";
  ASSERT_TRUE(termsEnded());
  auto expected = original;
  expected["mymod"] = "/";  // it holds the save, so it stays
  expected["mymod/save"] = "/";
  expected["mymod/save/slot1.sav"] = "saved game\n";
  expected["standin-launch.txt"] = played();
  EXPECT_EQ(FolderContents(game), expected);
  EXPECT_EQ(recordsLeft(), 0u);
  EXPECT_NE(log().find("put back 1 file"), std::string::npos) << log();
  EXPECT_EQ(log().find("error"), std::string::npos) << log();
  EXPECT_TRUE(observer.told.empty()) << observer.told.front();
}

TEST_F(RoundTrip, AConfigTheGameRewroteStaysAndTheCopyItReplacedIsKept) {
  gameScript("exec " + standin() + " \"$@\"\n");
  Playing playing{{"FRAGDOCK_STANDIN_STAY_MS", "100"}, {"FRAGDOCK_STANDIN_TOUCH", "baseq2/config.cfg"}};
  launch();
  ASSERT_TRUE(termsEnded());
  EXPECT_EQ(tree.read("quake2/baseq2/config.cfg"), "bind x duelchanged while playing\n");
  std::vector<std::string> kept;
  for (const auto& entry : fs::directory_iterator(program + "records/kept")) kept.push_back(entry.path());
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(tree.read(fs::relative(kept[0], tree.path())), "bind x jump") << "the game's own config, kept";
  EXPECT_NE(log().find(kept[0]), std::string::npos) << "the log names the kept copy: " << log();
  EXPECT_FALSE(fs::exists(game + "baseq2/maps/arena.bsp"));
}

// Games on Linux often start through something that runs the real program in
// its place, or that starts it and ends at once; the game is followed to its end.
TEST_F(RoundTrip, WrappersAreFollowedToTheGamesEnd) {
  const std::string wrappers[] = {
      "exec " + standin() + " \"$@\"\n",
      "exec /usr/bin/env " + standin() + " \"$@\"\n",
      standin() + " \"$@\" &\nexit 0\n",
  };
  for (const std::string& wrapper : wrappers) {
    SCOPED_TRACE(wrapper);
    gameScript(wrapper);
    Playing playing{{"FRAGDOCK_STANDIN_STAY_MS", "1500"}};
    launch();
    ASSERT_TRUE(Eventually([&] { return fs::exists(game + "standin-launch.txt"); })) << "the game never started";
    EXPECT_EQ(tree.read("quake2/baseq2/maps/arena.bsp"), "arena") << "nothing is removed while the game plays";
    ASSERT_TRUE(termsEnded());
    auto expected = original;
    expected["standin-launch.txt"] = played();
    EXPECT_EQ(FolderContents(game), expected);
    fs::remove(game + "standin-launch.txt");
  }
}

// A dedicated server, then a client, into one game folder: the client ending
// first removes nothing, for the server may load what the client brought.
TEST_F(RoundTrip, OverlappingLaunchesRemoveNothingUntilTheLastGameEnds) {
  heldGame();
  {
    Playing first{{"FRAGDOCK_TEST_PLAYER", "1"}};
    launch();
  }
  vars.q2maps.chosen = {"duel"};
  {
    Playing second{{"FRAGDOCK_TEST_PLAYER", "2"}};
    launch();
  }
  ASSERT_TRUE(Eventually([&] { return fs::exists(marks + "playing-1") && fs::exists(marks + "playing-2"); }));
  // Once its own game has ended, the later launch's term lists the records
  // each time it looks whether an earlier launch's game still runs; by its
  // second look it has decided at least once.
  FolderListings listings(program + "records");
  ASSERT_TRUE(listings.watching());
  tree.write("marks/stop-2", "");
  ASSERT_TRUE(Eventually([&] { return listings.count() >= 2; })) << "the later term never looked";
  EXPECT_TRUE(fs::exists(game + "baseq2/maps/duel.bsp"))
      << "the later launch's map was removed while the earlier game still ran";
  EXPECT_TRUE(fs::exists(game + "baseq2/maps/arena.bsp"));
  tree.write("marks/stop-1", "");
  ASSERT_TRUE(termsEnded());
  EXPECT_EQ(FolderContents(game), original);
  EXPECT_EQ(recordsLeft(), 0u);
}

// The settings may be changed in Setup and list.f emptied after the launch: the
// clean-up works from the launch's record alone.
TEST_F(RoundTrip, NeitherTheSettingsNorTheListsAreItsInput) {
  heldGame();
  {
    Playing playing{{"FRAGDOCK_TEST_PLAYER", "1"}};
    launch();
  }
  tree.write("program/Fragdock.ini", "[Quake 2]\r\nPath=" + tree.folder() + "elsewhere/\r\nEXE=other\r\n");
  ASSERT_TRUE(fs::exists(program + "list.f"));
  tree.write("program/list.f", "");
  tree.write("marks/stop-1", "");
  ASSERT_TRUE(termsEnded());
  EXPECT_EQ(FolderContents(game), original) << "the game's own files stay, the launch's are gone";
  EXPECT_EQ(log().find("error"), std::string::npos) << log();
}

// A launch killed at any moment (a crash, a power cut) leaves a record that
// describes every change it made; the next run of term finishes it.
TEST_F(RoundTrip, ALaunchKilledAtAnyPointIsFinishedByTheNextRun) {
  gameScript("exit 0\n");
  // How long a whole launch takes here, to spread the kills over it.
  const auto begun = std::chrono::steady_clock::now();
  launch();
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - begun);
  ASSERT_TRUE(termsEnded());
  ASSERT_EQ(FolderContents(game), original);

  std::mt19937 random(20261209);
  std::uniform_int_distribution<long> when(0, took.count() * 3 / 2);
  for (int round = 0; round < 16; ++round) {
    const long delay = round == 0 ? 0 : when(random);
    SCOPED_TRACE("killed after " + std::to_string(delay) + " us");
    const pid_t child = ::fork();
    if (child == 0) {
      ProcessLayer own;
      Tzipform ownZip;
      PakContentState ownContent;
      RecordingObserver ownObserver;
      const Status started = RunLaunch(vars, Game::Quake2, {own, ownZip, ownContent}, ownObserver);
      ::_exit(started.ok() ? 0 : 1);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // The launch's own term may have started; either it or "term 2" finishes.
    ASSERT_TRUE(Eventually([&] {
      Result<pid_t> term = processes.Start("\"" + program + "term\" 2", program);
      if (!term.ok() || !Eventually([&] { return processes.ExitCode(*term).has_value(); })) return false;
      return recordsLeft() == 0;
    }));
    ASSERT_TRUE(Eventually([&] { return FolderContents(game) == original; }, 10s)) << log();
  }
}

}  // namespace
