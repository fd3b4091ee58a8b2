// The real `term` program on real folders: a launch's snapshot, an install,
// the stand-in game playing, and what is left of the game folder afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/install/snapshot.h"
#include "term/core/gamefolder.h"
#include "term/core/journal.h"
#include "term/core/termrun.h"
#include "testing/tempdir.h"

extern char** environ;

using namespace fdk;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Polls until the condition holds, up to a bound that only a broken program reaches.
template <class Condition>
bool waitFor(Condition condition, std::chrono::milliseconds bound = 30s) {
  const auto end = std::chrono::steady_clock::now() + bound;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& workFolder,
            const std::vector<std::string>& extraEnv = {}, const std::string& outputFile = {}) {
  std::vector<std::string> words{program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  std::vector<std::string> env(extraEnv);
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());
  if (!outputFile.empty())
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  EXPECT_EQ(error, 0) << program;
  return error == 0 ? pid : -1;
}

// The exit code, or nullopt when it did not end within the bound (it is killed then).
std::optional<int> waitExit(pid_t pid, std::chrono::milliseconds bound = 60s) {
  int status = 0;
  const bool ended = waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, bound);
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return std::nullopt;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Every entry below a folder: relative path -> contents ("/" for a folder, "->" and
// the target for a link), so two states compare in one assertion.
std::map<std::string, std::string> tree(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = fs::relative(it->path(), root).string();
    if (it->is_symlink()) {
      entries[rel] = "->" + fs::read_symlink(it->path()).string();
    } else if (it->is_directory()) {
      entries[rel] = "/";
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      entries[rel] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return entries;
}

// A program folder with its own copy of `term` (it finds its files beside its
// executable) and a settings file naming the two game folders and the stand-in game.
struct TermRun : ::testing::Test {
  TempDir dir;
  std::string program = dir.folder() + "program/";
  std::string quake2 = dir.folder() + "quake2/";
  std::string quake = dir.folder() + "quake/";
  InstallSnapshot before;

  void SetUp() override {
    fs::create_directories(program);
    fs::copy_file(FRAGDOCK_TERM, program + "term");
    dir.write("program/Fragdock.ini", "[Quake 1]\r\nPath=" + quake + "\r\nEXE=" + std::string(FRAGDOCK_STANDIN) +
                                          "\r\n[Quake 2]\r\nPath=" + quake2 + "\r\nEXE=" + FRAGDOCK_STANDIN + "\r\n");
    dir.write("quake2/baseq2/pak0.pak", "pak0");
    dir.write("quake2/baseq2/config.cfg", "bind x jump");
    dir.write("quake2/baseq2/maps/base1.bsp", "base1");
    dir.write("quake/id1/pak0.pak", "pak0");
  }

  // The launch's order: snapshot, install, then the lists.
  void launch(const std::string& game, const std::map<std::string, std::string>& installs) {
    before = TakeSnapshot(game);
    for (const auto& [path, bytes] : installs) {
      fs::create_directories(fs::path(game + path).parent_path());
      std::ofstream(game + path, std::ios::binary) << bytes;
    }
    ASSERT_TRUE(WriteSnapshotFiles(before, program).ok());
  }

  pid_t startTerm(const std::vector<std::string>& args) { return spawn(program + "term", args, program); }
  pid_t startGame(const std::string& game, const std::vector<std::string>& env) {
    return spawn(FRAGDOCK_STANDIN, {}, game, env);
  }
  bool journalExists() const { return fs::exists(program + JournalName('2')); }
  std::string log() const {
    std::ifstream in(program + kLogName);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(TermRun, RemovesWhatTheLaunchInstalledAndKeepsWhatThePlayerMade) {
  const auto original = tree(quake2);
  launch(quake2, {{"mymod/pak0.pak", "mod pak"},
                  {"mymod/docs/readme.txt", "read me"},
                  {"baseq2/maps/q2dm1.bsp", "map one"},
                  {"baseq2/maps/q2dm2.bsp", "map two"},
                  {"baseq2/maps/extra/q2dm3.bsp", "map three"}});
  const pid_t term = startTerm({"2"});
  ASSERT_TRUE(waitFor([&] { return journalExists(); }));
  const pid_t game = startGame(quake2, {"FRAGDOCK_STANDIN_STAY_MS=300", "FRAGDOCK_STANDIN_TOUCH=baseq2/maps/q2dm2.bsp",
                                        "FRAGDOCK_STANDIN_SAVE=mymod/save/slot1.sav"});
  EXPECT_EQ(waitExit(game), 0);
  EXPECT_EQ(waitExit(term), 0);

  auto expected = original;
  expected["baseq2/maps/q2dm2.bsp"] = "map twochanged while playing\n";
  expected["mymod"] = "/";
  expected["mymod/save"] = "/";
  expected["mymod/save/slot1.sav"] = "saved game\n";
  expected["standin-launch.txt"] = "folder=" + quake2.substr(0, quake2.size() - 1) + "\n";
  EXPECT_EQ(tree(quake2), expected);
  EXPECT_FALSE(journalExists());
  EXPECT_NE(log().find("term 2: removed 4 files and 2 folders, kept 1 changed files"), std::string::npos) << log();
}

TEST_F(TermRun, FollowsAGameStartedThroughAScript) {
  // Games on this system often start through a script that runs the real program.
  dir.write("quake2/run-game", "#!/bin/sh\nsleep 0.4\nexec " + std::string(FRAGDOCK_STANDIN) + "\n");
  fs::permissions(quake2 + "run-game", fs::perms::owner_all);
  dir.write("program/Fragdock.ini", "[Quake 2]\r\nPath=" + quake2 + "\r\nEXE=run-game\r\n");
  launch(quake2, {{"baseq2/maps/q2dm1.bsp", "map one"}});
  const pid_t term = startTerm({"--appear-timeout-ms", "5000", "2"});
  ASSERT_TRUE(waitFor([&] { return journalExists(); }));
  const pid_t game = spawn(quake2 + "run-game", {}, quake2, {"FRAGDOCK_STANDIN_STAY_MS=300"});
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(fs::exists(quake2 + "baseq2/maps/q2dm1.bsp")) << "nothing is removed while the game runs";
  EXPECT_EQ(waitExit(game), 0);
  EXPECT_EQ(waitExit(term), 0);
  EXPECT_FALSE(fs::exists(quake2 + "baseq2/maps/q2dm1.bsp"));
  EXPECT_EQ(log().find("not seen"), std::string::npos) << log();
}

TEST_F(TermRun, DryRunPrintsAndRemovesNothing) {
  launch(quake2, {{"mymod/pak0.pak", "p"}, {"baseq2/maps/q2dm1.bsp", "m"}});
  const auto installed = tree(quake2);
  const std::string output = dir.file("out.txt");
  const pid_t term = spawn(program + "term", {"--dry-run", "2"}, program, {}, output);
  EXPECT_EQ(waitExit(term), 0);
  EXPECT_EQ(dir.read("out.txt"), quake2 + "baseq2/maps/q2dm1.bsp\n" + quake2 + "mymod/pak0.pak\n" + quake2 + "mymod/\n");
  EXPECT_EQ(tree(quake2), installed);
  EXPECT_FALSE(journalExists());
  EXPECT_NE(log().find("term 2: dry run: would remove 2 files and 1 folders"), std::string::npos) << log();
}

TEST_F(TermRun, KilledRunIsFinishedByTheNextWithoutTakingWhatTheGameNeeds) {
  const auto original = tree(quake2);
  launch(quake2, {{"mymod/pak0.pak", "p"}, {"baseq2/maps/q2dm1.bsp", "m"}});
  const pid_t killed = startTerm({"2"});
  ASSERT_TRUE(waitFor([&] { return journalExists(); }));
  ::kill(killed, SIGKILL);
  waitExit(killed);

  // The next launch finds the earlier add-ons installed already: they are in its
  // snapshot and its game uses them, so they must stay until that game ends.
  launch(quake2, {{"baseq2/maps/q2dm2.bsp", "m2"}});
  const pid_t term = startTerm({"2"});
  auto journal = [&] { return journalExists() ? dir.read("program/" + JournalName('2')) : std::string(); };
  ASSERT_TRUE(waitFor([&] { return journal().find(" new baseq2/maps/q2dm2.bsp\n") != std::string::npos; }));
  const pid_t game = startGame(quake2, {"FRAGDOCK_STANDIN_STAY_MS=300"});
  // While the game runs the journal holds all three, the earlier ones carried.
  const std::string recorded = journal();
  EXPECT_NE(recorded.find(" carried mymod/pak0.pak\n"), std::string::npos) << recorded;
  EXPECT_NE(recorded.find(" carried baseq2/maps/q2dm1.bsp\n"), std::string::npos) << recorded;
  EXPECT_TRUE(fs::exists(quake2 + "mymod/pak0.pak"));
  EXPECT_EQ(waitExit(game), 0);
  EXPECT_EQ(waitExit(term), 0);

  auto expected = original;
  expected["standin-launch.txt"] = "folder=" + quake2.substr(0, quake2.size() - 1) + "\n";
  EXPECT_EQ(tree(quake2), expected);
  EXPECT_FALSE(journalExists());
}

TEST_F(TermRun, ARunStillWaitingHandsOverToTheNextLaunch) {
  const auto original = tree(quake2);
  launch(quake2, {{"mymod/pak0.pak", "p"}});
  const pid_t first = startTerm({"2"});
  auto journal = [&] { return journalExists() ? dir.read("program/" + JournalName('2')) : std::string(); };
  ASSERT_TRUE(waitFor([&] { return journal().find(" new mymod/pak0.pak\n") != std::string::npos; }));

  // The first game has not ended when the player launches again.
  launch(quake2, {{"baseq2/maps/q2dm1.bsp", "m"}});
  const pid_t second = startTerm({"2"});
  ASSERT_TRUE(waitFor([&] { return journal().find(" carried mymod/pak0.pak\n") != std::string::npos; }));
  const pid_t game = startGame(quake2, {"FRAGDOCK_STANDIN_STAY_MS=300"});
  EXPECT_EQ(waitExit(game), 0);
  EXPECT_EQ(waitExit(first), 0);
  EXPECT_EQ(waitExit(second), 0);

  auto expected = original;
  expected["standin-launch.txt"] = "folder=" + quake2.substr(0, quake2.size() - 1) + "\n";
  EXPECT_EQ(tree(quake2), expected);
  EXPECT_NE(log().find("a later run took the journal over"), std::string::npos) << log();
  EXPECT_NE(log().find("removed 2 files and 1 folders"), std::string::npos) << log();
}

TEST_F(TermRun, EachGameFinishesOnlyItsOwnLeftJournal) {
  dir.write("quake/id1/maps/left.bsp", "left");
  struct stat info {};
  ASSERT_EQ(::lstat((quake + "id1/maps/left.bsp").c_str(), &info), 0);
  Journal left;
  left.game = '1';
  left.root = quake;
  left.files = {{"id1/maps/left.bsp", StampOf(info), false}};
  left.folders = {{"id1/maps", false}};
  dir.write("program/" + JournalName('1'), FormatJournal(left));

  // Quake may still be running: a Quake 2 run leaves its journal alone.
  launch(quake2, {{"baseq2/maps/q2dm1.bsp", "m"}});
  EXPECT_EQ(waitExit(startTerm({"--appear-timeout-ms", "0", "2"})), 0);
  EXPECT_FALSE(fs::exists(quake2 + "baseq2/maps/q2dm1.bsp"));
  EXPECT_TRUE(fs::exists(quake + "id1/maps/left.bsp"));

  // The next Quake run finishes it.
  launch(quake, {});
  EXPECT_EQ(waitExit(startTerm({"--appear-timeout-ms", "0", "1"})), 0);
  EXPECT_FALSE(fs::exists(quake + "id1/maps"));
  EXPECT_TRUE(fs::exists(quake + "id1/pak0.pak"));
  EXPECT_FALSE(fs::exists(program + JournalName('1')));
}

TEST_F(TermRun, JournalOfAnotherFolderIsSetAsideUntouched) {
  dir.write("elsewhere/keep.pak", "k");
  Journal left;
  left.game = '2';
  left.root = dir.folder() + "elsewhere/";
  left.files = {{"keep.pak", {1, 0, 0}, false}};
  struct stat info {};
  ASSERT_EQ(::lstat(dir.file("elsewhere/keep.pak").c_str(), &info), 0);
  left.files[0].stamp = StampOf(info);
  dir.write("program/" + JournalName('2'), FormatJournal(left));
  launch(quake2, {});
  EXPECT_EQ(waitExit(startTerm({"2"})), 0);
  EXPECT_TRUE(fs::exists(dir.file("elsewhere/keep.pak")));
  EXPECT_TRUE(fs::exists(program + JournalName('2') + ".bad"));
}

TEST_F(TermRun, NeverFollowsLinksNorLeavesTheGameFolder) {
  dir.write("outside/secret.txt", "secret");
  dir.write("outside/folder/keep.txt", "keep");
  const std::string outside = dir.folder() + "outside/";
  launch(quake2, {{"mine.pak", "mine"}});
  // Entries that appear with the launch but are links: never recorded, never removed.
  fs::create_directory_symlink(outside + "folder", quake2 + "baseq2/linked-folder");
  fs::create_symlink(outside + "secret.txt", quake2 + "baseq2/linked.txt");
  ASSERT_TRUE(WriteSnapshotFiles(before, program).ok());

  auto stampOf = [](const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return StampOf(info);
  };
  // A left journal of this folder with hostile lines, each with the stamp it would need.
  std::string journal = "fragdock term journal 1\ngame 2\nroot " + quake2 + "\n";
  auto fileLine = [&](const std::string& rel, const std::string& real) {
    const FileStamp s = stampOf(real);
    journal += "file " + std::to_string(s.size) + " " + std::to_string(s.seconds) + " " +
               std::to_string(s.nanoseconds) + " new " + rel + "\n";
  };
  fileLine("../outside/secret.txt", outside + "secret.txt");
  fileLine(outside + "secret.txt", outside + "secret.txt");
  fileLine("baseq2/linked-folder/keep.txt", outside + "folder/keep.txt");
  fileLine("baseq2/linked.txt", quake2 + "baseq2/linked.txt");
  journal += "folder new baseq2/linked-folder\nfolder new ../outside/folder\n";
  dir.write("program/" + JournalName('2'), journal);

  const auto outsideBefore = tree(outside);
  const pid_t term = startTerm({"--appear-timeout-ms", "0", "2"});
  EXPECT_EQ(waitExit(term), 0);
  EXPECT_EQ(tree(outside), outsideBefore);
  EXPECT_TRUE(fs::is_symlink(quake2 + "baseq2/linked-folder"));
  EXPECT_TRUE(fs::is_symlink(quake2 + "baseq2/linked.txt"));
  EXPECT_FALSE(fs::exists(quake2 + "mine.pak"));
  EXPECT_NE(log().find("removed 1 files and 0 folders, kept 0 changed files, left 6 entries alone"), std::string::npos)
      << log();
}

TEST_F(TermRun, MissingOrForeignListsStopBeforeAnything) {
  struct Case {
    const char* name;
    std::string listV;  // empty: no list files at all
    std::string expectedError;
  };
  launch(quake2, {{"mine.pak", "m"}});
  const auto installed = tree(quake2);
  for (const Case& c : {Case{"no lists", "", "list.v"},
                        Case{"lists of another folder", quake + "\r\n", "not of the game folder"}}) {
    fs::remove(program + "list.v");
    if (!c.listV.empty()) dir.write("program/list.v", c.listV);
    std::ostringstream out, err;
    EXPECT_EQ(RunTerm(TermOptions{'2', false, {}}, program, out, err), 1) << c.name;
    EXPECT_NE(err.str().find(c.expectedError), std::string::npos) << c.name << ": " << err.str();
    EXPECT_EQ(tree(quake2), installed) << c.name;
    EXPECT_FALSE(journalExists()) << c.name;
  }
  // A launch without a snapshot (empty lists) tells nothing about what it installed.
  ASSERT_TRUE(WriteSnapshotFiles(InstallSnapshot{}, program).ok());
  std::ostringstream out, err;
  EXPECT_EQ(RunTerm(TermOptions{'2', false, {}}, program, out, err), 0);
  EXPECT_EQ(tree(quake2), installed);
  EXPECT_NE(log().find("term 2: no install snapshot"), std::string::npos) << log();

  fs::remove(program + "Fragdock.ini");
  EXPECT_EQ(RunTerm(TermOptions{'2', false, {}}, program, out, err), 1);
  EXPECT_NE(err.str().find("No Fragdock.ini"), std::string::npos) << err.str();
  EXPECT_FALSE(fs::exists(program + "Fragdock.ini"));  // never made up with defaults
  EXPECT_NE(log().find("term 2: error: No Fragdock.ini"), std::string::npos) << log();
}

TEST_F(TermRun, LeavesTheLaunchersSettingsSaveInFlightAlone) {
  // The launcher saves its settings while the tool starts: the temporary file
  // of that save must still be there for its rename.
  const std::string saving = dir.write("program/.Fragdock.ini.tmpAb12Cd", "[Quake 2]\r\n");
  launch(quake2, {});
  std::ostringstream out, err;
  EXPECT_EQ(RunTerm(TermOptions{'2', false, {}}, program, out, err), 0) << err.str();
  EXPECT_TRUE(fs::exists(saving));
}

TEST(TermArguments, GameOptionsAndMistakes) {
  Result<TermOptions> parsed = ParseTermArguments({"--dry-run", "--appear-timeout-ms", "1500", "1"});
  ASSERT_TRUE(parsed.ok());
  EXPECT_EQ(parsed->game, '1');
  EXPECT_TRUE(parsed->dryRun);
  EXPECT_EQ(parsed->wait.appear, 1500ms);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {}, {"3"}, {"1", "2"}, {"--appear-timeout-ms", "x", "2"}, {"--appear-timeout-ms"}, {"--force", "2"}})
    EXPECT_FALSE(ParseTermArguments(bad).ok()) << ::testing::PrintToString(bad);
}

}  // namespace
