#include "core/launch/launchsequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/files.h"
#include "core/archive/tests/fixtures.h"
#include "core/launch/launch.h"
#include "core/record/recorder.h"
#include "testing/archive.h"
#include "testing/tempdir.h"
#include "testing/wait.h"

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
    Eventually([&] { return processes.runningCount() == 0; }, std::chrono::seconds(10));
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

namespace {

using Kind = RecordedChange::Kind;
using testfix::Names;
using testfix::tree;

// A Quake 2 launch with Use Terminator on: a MOD, a map, a config set whose
// config.cfg replaces the game's, an old q.cfg, "maps.lst", and a clean-up
// tool that notes its arguments and copies the record as it found it.
struct RecordedLaunch : Q2Launch {
  RecordedLaunch() {
    vars.q2.Terminatr = true;
    vars.q2.cmaplist = true;
    vars.q2.Maps = dir.folder() + "maps/";
    vars.q2.CFG = dir.folder() + "cfgs/";
    vars.q2.ACFG = "lan";
    vars.q2maps.chosen = {"q2dm9"};
    std::filesystem::create_directories(dir.file("maps"));
    mod("mymod", "mymod");
    EXPECT_TRUE(
        WriteArchive(dir.file("mods/mymod.zip"), {{"mymod/game.so", "mod"}, {"mymod/maps/mine.bsp", "bsp"}}).ok());
    EXPECT_TRUE(WriteArchive(dir.file("maps/q2dm9.zip"), {{"baseq2/maps/q2dm9.bsp", "map"}}).ok());
    dir.write("cfgs/lan/config.cfg", "bind space +moveup\r\n");
    dir.write("quake2/baseq2/config.cfg", "the player's own config\r\n");
    dir.write("quake2/baseq2/q.cfg", "map base1\r\n");
    dir.write("quake2/quake 2", "#!/bin/sh\necho $$ > pid.txt\nprintf '%s\\n' \"$@\" > args.txt\n");
    dir.write("prog/term", "#!/bin/sh\ncp \"$2\" term-saw.record\nprintf '%s\\n' \"$@\" > term-args.txt\n");
    std::filesystem::permissions(dir.file("prog/term"), std::filesystem::perms::owner_all);
  }
  // What the game and the tool wrote, once both have ended.
  void waitForTheirEnd() {
    Eventually([&] { return processes.runningCount() == 0 && dir.exists("prog/term-args.txt"); },
               std::chrono::seconds(10));
  }
  std::vector<std::string> records() const {
    std::vector<std::string> found;
    if (!std::filesystem::exists(dir.file("prog/records"))) return found;
    for (const auto& item : std::filesystem::directory_iterator(dir.file("prog/records")))
      if (item.path().extension() == ".record") found.push_back(item.path().string());
    return found;
  }
  LaunchRecord record(const std::string& path) const {
    Result<LaunchRecord> read = ParseRecord(readWholeFile(path).value());
    EXPECT_TRUE(read.ok()) << read.error().text;
    return read ? *read : LaunchRecord{};
  }
};

// What a record says the launch left in the folder: the paths it made, and
// the saved copy of each path it replaced or removed (the first one: what was
// there before the launch).
struct RecordedDifference {
  std::set<std::string> made;
  std::map<std::string, std::string> saved;
};

RecordedDifference differenceOf(const LaunchRecord& record) {
  RecordedDifference d;
  for (const RecordedChange& c : record.changes) {
    EXPECT_TRUE(c.kind == Kind::Folder || c.kind == Kind::Remove || c.after.has_value()) << c.path;
    if (c.kind == Kind::Folder) d.made.insert(c.path + "/");
    if (c.kind == Kind::File && !d.saved.contains(c.path)) d.made.insert(c.path);
    if (c.kind == Kind::Replace || c.kind == Kind::Remove) d.saved.emplace(c.path, c.saved);
  }
  return d;
}

bool lockedByOthers(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  if (fd >= 0) ::close(fd);
  return locked;
}

}  // namespace

TEST(LaunchRecord, DescribesTheFolderDifferenceExactlyAndReachesTheToolAfterTheGame) {
  RecordedLaunch l;
  const Names before = tree(l.dir.file("quake2"));
  ASSERT_TRUE(l.run().ok());
  l.waitForTheirEnd();
  Names after = tree(l.dir.file("quake2"));
  std::erase_if(after, [](const std::string& name) { return name == "args.txt" || name == "pid.txt"; });

  const std::vector<std::string> records = l.records();
  ASSERT_EQ(records.size(), 1u);
  const LaunchRecord record = l.record(records[0]);
  EXPECT_EQ(record.root, l.vars.q2.Path);
  const RecordedDifference d = differenceOf(record);
  std::set<std::string> created;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                      std::inserter(created, created.begin()));
  EXPECT_EQ(d.made, created);
  EXPECT_EQ(created, (std::set<std::string>{"baseq2/maps/", "baseq2/maps/q2dm9.bsp", "mymod/", "mymod/config.cfg",
                                            "mymod/game.so", "mymod/maps.lst", "mymod/maps/", "mymod/maps/mine.bsp"}));
  ASSERT_EQ(d.saved.size(), 2u);
  const std::string savedFolder = records[0].substr(0, records[0].size() - 7) + ".saved/";
  EXPECT_EQ(readWholeFile(savedFolder + d.saved.at("baseq2/config.cfg")).value(), "the player's own config\r\n");
  EXPECT_EQ(readWholeFile(savedFolder + d.saved.at("baseq2/q.cfg")).value(), "map base1\r\n");

  // The game is named; the tool was handed the record and found the game in it.
  ASSERT_TRUE(record.started.has_value());
  EXPECT_EQ(std::to_string(record.started->pid) + "\n", l.dir.read("quake2/pid.txt"));
  EXPECT_EQ(record.started->session, record.started->pid);
  EXPECT_EQ(l.dir.read("prog/term-args.txt"), "--record\n" + records[0] + "\n");
  EXPECT_EQ(l.record(l.dir.file("prog/term-saw.record")).started, record.started);
  EXPECT_FALSE(lockedByOthers(records[0])) << "the launch keeps its record locked after it returned";
}

TEST(LaunchRecord, AGameThatDoesNotStartLeavesItsRecordWithoutAGameAndStartsNoTool) {
  RecordedLaunch l;
  l.vars.q2.EXE = "missing-quake2";
  EXPECT_FALSE(l.run().ok());
  const std::vector<std::string> records = l.records();
  ASSERT_EQ(records.size(), 1u);
  const LaunchRecord record = l.record(records[0]);
  EXPECT_FALSE(record.started.has_value());
  EXPECT_FALSE(record.changes.empty());
  EXPECT_FALSE(lockedByOthers(records[0]));
  EXPECT_EQ(l.processes.runningCount(), 0u);
  EXPECT_FALSE(l.dir.exists("prog/term-args.txt"));
}

TEST(LaunchRecord, NoRecordWithoutUseTerminatorOrWithoutTheTool) {
  for (const bool toolThere : {false, true}) {
    RecordedLaunch l;
    l.vars.q2.Terminatr = !toolThere;
    if (!toolThere) std::filesystem::remove(l.dir.file("prog/term"));
    ASSERT_TRUE(l.run().ok());
    l.arguments();
    EXPECT_TRUE(l.records().empty()) << toolThere;
    EXPECT_FALSE(l.dir.exists("prog/term-args.txt")) << toolThere;
    EXPECT_EQ(l.dir.read("quake2/baseq2/config.cfg"), "bind space +moveup\r\n") << "the launch itself is unchanged";
  }
}
