#include "core/launch/launchsequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/files.h"
#include "core/archive/tests/fixtures.h"
#include "core/launch/launch.h"
#include "core/launch/tests/recordingobserver.h"
#include "core/record/recorder.h"
#include "testing/endsignal.h"
#include "testing/gamesettings.h"
#include "testing/wait.h"

using namespace fdk;

namespace {

using testhost::RecordingObserver;

// A Quake 2 folder whose "game" writes its arguments, one a line, into args.txt.
struct Q2Launch {
  GameTree tree;
  Uvars vars = VarsIn(tree.withBaseFolders());
  ProcessLayer processes;
  Tzipform zip;
  PakContentState pakContent;
  RecordingObserver observer;

  Q2Launch() {
    vars.q2.EXE = "quake 2";
    vars.q2.cddir = false;
    vars.q2.cmaplist = false;
    tree.script("quake2/quake 2", "printf '%s\\n' \"$@\" > args.txt\n");
  }
  void mod(const std::string& name, const std::string& folder) {
    vars.q2mod = name;
    ASSERT_TRUE(tree.archive("mods2/" + name + ".zip", {{folder + "/game.so", "mod"}}).ok());
  }
  Status run() { return RunLaunch(vars, Game::Quake2, {processes, zip, pakContent}, observer); }
  // The game's arguments once it has ended.
  std::string arguments() {
    Eventually([&] { return processes.runningCount() == 0; }, std::chrono::seconds(10));
    return tree.exists("quake2/args.txt") ? tree.read("quake2/args.txt") : "(not started)";
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
    EXPECT_EQ(refused.error().kind, ErrorKind::Unsafe) << refused.error().text;
    EXPECT_EQ(l.observer.steps, std::vector<LaunchStep>{LaunchStep::CheckNames}) << r.folder;
    EXPECT_FALSE(l.tree.exists("quake2/baseq2/q.cfg")) << r.folder;
    EXPECT_FALSE(std::filesystem::exists(l.vars.q2.Path + r.folder)) << r.folder;
    EXPECT_EQ(l.processes.runningCount(), 0u);
    EXPECT_EQ(l.arguments(), "(not started)");
  }
}

TEST(LaunchStop, ASignalDuringTheInstallsStartsNoGame) {
  Q2Launch l;
  l.mod("mymod", "mymod");
  EXPECT_TRUE(InChildNotingSigterm([&] {
    RecordingObserver observer;
    observer.afterDone = SigtermOnce;
    Status started = RunLaunch(l.vars, Game::Quake2, {l.processes, l.zip, l.pakContent}, observer);
    const bool startStep = std::find(observer.steps.begin(), observer.steps.end(), LaunchStep::StartGame) !=
                           observer.steps.end();
    return SigtermCame() && !started.ok() && !startStep;
  })) << "the game was started, or the launch did not see the stop";
  EXPECT_FALSE(l.tree.exists("quake2/args.txt"));
}

namespace {

// A Quake 2 launch of "mymod" over an earlier install of it; the player
// answers No when asked whether to go on past its files.
struct ModOverEarlier : Q2Launch {
  ModOverEarlier() { std::filesystem::create_directories(tree.program()); }  // for list.v and list.f
  ~ModOverEarlier() { arguments(); }  // the game has ended before its folder goes
  void modFiles(const std::vector<ArchiveEntry>& files) {
    vars.q2mod = "mymod";
    ASSERT_TRUE(tree.archive("mods2/mymod.zip", files).ok());
  }
  std::string told() const { return observer.told.empty() ? "" : observer.told.front(); }
};

constexpr const char* kKeptLineStart = "These files of your choices were not installed, because a different file";

}  // namespace

TEST(LaunchKeptFiles, AKeptFileThatDiffersIsNamedInTheOneMessageAnIdenticalOneIsNot) {
  for (const char* earlier : {"exec old.cfg", "exec new.cfg"}) {
    SCOPED_TRACE(earlier);
    ModOverEarlier l;
    l.modFiles({{"mymod/autoexec.cfg", "exec new.cfg"}, {"mymod/game.so", "mod"}});
    l.tree.write("quake2/mymod/autoexec.cfg", earlier);
    ASSERT_TRUE(l.run().ok());
    EXPECT_EQ(l.tree.read("quake2/mymod/autoexec.cfg"), earlier);
    EXPECT_EQ(l.tree.read("quake2/mymod/game.so"), "mod");
    if (std::string(earlier) == "exec new.cfg") {
      EXPECT_TRUE(l.observer.told.empty()) << "nothing else to say, so no message: " << l.told();
      continue;
    }
    ASSERT_EQ(l.observer.told.size(), 1u);
    EXPECT_EQ(l.told().rfind(kKeptLineStart, 0), 0u) << l.told();
    EXPECT_TRUE(l.told().ends_with(": mymod/autoexec.cfg")) << l.told();
    EXPECT_LT(l.observer.firstCall("left out "), l.observer.firstCall("step Starting the game"));
  }
}

TEST(LaunchKeptFiles, PastTwentyNamesTheRestAreCountedOnTheLineBesideWhatElseWasLeftOut) {
  ModOverEarlier l;
  std::vector<ArchiveEntry> files;
  for (int i = 0; i < 23; ++i) {
    const std::string name = "mymod/f" + std::to_string(i) + ".cfg";
    files.push_back({name, "new"});
    l.tree.write("quake2/" + name, "old");
  }
  l.modFiles(files);
  l.vars.q2maps.chosen = {"gone"};
  ASSERT_TRUE(l.run().ok());
  ASSERT_EQ(l.observer.told.size(), 1u);
  const std::string& told = l.told();
  EXPECT_EQ(told.rfind("gone: ", 0), 0u) << told;
  const std::size_t line = told.find(std::string("\n") + kKeptLineStart);
  ASSERT_NE(line, std::string::npos) << told;
  const std::string names = told.substr(told.find(": ", line) + 2);
  EXPECT_EQ(names.rfind("mymod/f0.cfg, mymod/f1.cfg, ", 0), 0u) << names;
  EXPECT_TRUE(names.ends_with(", mymod/f19.cfg and 3 more")) << names;
  EXPECT_EQ(std::count(names.begin(), names.end(), ','), 19);
}

// The link points to the very bytes of the MOD's file, yet it is named: what
// it points to is not read, and the link stays in the game's way.
TEST(LaunchKeptFiles, ALinkAtAFilesPlaceIsNamedWithoutItsTargetBeingRead) {
  ModOverEarlier l;
  l.modFiles({{"mymod/autoexec.cfg", "exec new.cfg"}});
  const std::string target = l.tree.write("elsewhere/autoexec.cfg", "exec new.cfg");
  std::filesystem::create_directories(l.tree.file("quake2/mymod"));
  std::filesystem::create_symlink(target, l.tree.file("quake2/mymod/autoexec.cfg"));
  ASSERT_TRUE(l.run().ok());
  ASSERT_EQ(l.observer.told.size(), 1u);
  EXPECT_TRUE(l.told().ends_with(": mymod/autoexec.cfg")) << l.told();
  EXPECT_TRUE(std::filesystem::is_symlink(l.tree.file("quake2/mymod/autoexec.cfg")));
  EXPECT_EQ(l.tree.read("elsewhere/autoexec.cfg"), "exec new.cfg");
}

namespace {

using Kind = RecordedChange::Kind;
using testfix::Names;

// A Quake 2 launch with Use Terminator on: a MOD, a map, a config set whose
// config.cfg replaces the game's, an old q.cfg, "maps.lst", and a clean-up
// tool that notes its arguments and copies the record as it found it.
struct RecordedLaunch : Q2Launch {
  RecordedLaunch() {
    vars.q2.Terminatr = true;
    vars.q2.cmaplist = true;
    vars.q2.ACFG = "lan";
    vars.q2maps.chosen = {"q2dm9"};
    vars.q2mod = "mymod";
    EXPECT_TRUE(tree.archive("mods2/mymod.zip", {{"mymod/game.so", "mod"}, {"mymod/maps/mine.bsp", "bsp"}}).ok());
    EXPECT_TRUE(tree.archive("maps2/q2dm9.zip", {{"baseq2/maps/q2dm9.bsp", "map"}}).ok());
    tree.write("cfgs2/lan/config.cfg", "bind space +moveup\r\n");
    tree.write("quake2/baseq2/config.cfg", "the player's own config\r\n");
    tree.write("quake2/baseq2/q.cfg", "map base1\r\n");
    tree.script("quake2/quake 2", "echo $$ > pid.txt\nprintf '%s\\n' \"$@\" > args.txt\n");
    tree.script("program/term", "cp \"$2\" term-saw.record\nprintf '%s\\n' \"$@\" > term-args.txt\n");
  }
  // What the game and the tool wrote, once both have ended.
  void waitForTheirEnd() {
    Eventually([&] { return processes.runningCount() == 0 && tree.exists("program/term-args.txt"); },
               std::chrono::seconds(10));
  }
  std::vector<std::string> records() const {
    std::vector<std::string> found;
    if (!std::filesystem::exists(tree.program() + "records")) return found;
    for (const auto& item : std::filesystem::directory_iterator(tree.program() + "records"))
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
  const Names before = testfix::tree(l.tree.file("quake2"));
  ASSERT_TRUE(l.run().ok());
  l.waitForTheirEnd();
  Names after = testfix::tree(l.tree.file("quake2"));
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
  EXPECT_EQ(std::to_string(record.started->pid) + "\n", l.tree.read("quake2/pid.txt"));
  EXPECT_EQ(record.started->session, record.started->pid);
  EXPECT_EQ(l.tree.read("program/term-args.txt"), "--record\n" + records[0] + "\n");
  EXPECT_EQ(l.record(l.tree.file("program/term-saw.record")).started, record.started);
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
  EXPECT_FALSE(l.tree.exists("program/term-args.txt"));
}

TEST(LaunchRecord, NoRecordWithoutUseTerminatorOrWithoutTheTool) {
  for (const bool toolThere : {false, true}) {
    RecordedLaunch l;
    l.vars.q2.Terminatr = !toolThere;
    if (!toolThere) std::filesystem::remove(l.tree.file("program/term"));
    ASSERT_TRUE(l.run().ok());
    l.arguments();
    EXPECT_TRUE(l.records().empty()) << toolThere;
    EXPECT_FALSE(l.tree.exists("program/term-args.txt")) << toolThere;
    EXPECT_EQ(l.tree.read("quake2/baseq2/config.cfg"), "bind space +moveup\r\n") << "the launch itself is unchanged";
  }
}

namespace {

// A launch of either game through every step: Use Terminator on with the tool
// there, a MOD, a map, a config set, Quake's skins or a Quake 2 model pack and
// maps.lst. The game and the tool are scripts that note their arguments; the
// tool also keeps list.v and list.f as it found them.
struct FullLaunch {
  Game game;
  GameTree tree;
  Uvars vars = VarsIn(tree.withBaseFolders());
  const GameFolders& folders = game == Game::Quake1 ? tree.quake() : tree.quake2();
  const std::string n = game == Game::Quake1 ? "1" : "2";
  ProcessLayer processes;
  Tzipform zip;
  PakContentState pakContent;
  RecordingObserver observer;

  explicit FullLaunch(Game g) : game(g) {
    GameSettings& s = vars.game(game);
    s.Terminatr = s.cmaplist = true;
    s.cddir = false;
    s.EXE = "game";
    s.ACFG = "lan";
    (game == Game::Quake1 ? vars.q1mod : vars.q2mod) = "mymod";
    vars.maps(game).chosen = {"arena"};
    const std::string base = folders.base.substr(folders.game.size());
    tree.write(folders.base + "readme.txt", "the game's own");
    EXPECT_TRUE(tree.archive("mods" + n + "/mymod.zip", {{"mymod/progs.dat", "mod"}}).ok());
    EXPECT_TRUE(tree.archive("maps" + n + "/arena.zip", {{base + "maps/arena.bsp", "map"}}).ok());
    tree.write("cfgs" + n + "/lan/config.cfg", "bind space +jump\r\n");
    vars.selectedSkins = {"red"};
    EXPECT_TRUE(tree.archive("skins1/red.zip", {{"red.pcx", "red"}}).ok());
    vars.chosenModels = {{"scout", "red"}};
    EXPECT_TRUE(tree.archive("models2/scout.zip", {{"baseq2/players/scout/tris.md2", "mesh"}}).ok());
    tree.script(folders.game.substr(tree.folder().size()) + "game", "printf '%s\\n' \"$@\" > args.txt\n");
    tree.script("program/term", "cp list.v term-saw.v\ncp list.f term-saw.f\nprintf '%s\\n' \"$@\" > term-args.txt\n");
  }
  Status run() { return RunLaunch(vars, game, {processes, zip, pakContent}, observer); }
  // Once every program the launch started has ended, what they left is there to read.
  void waitForTheirEnd() {
    ASSERT_TRUE(Eventually([&] { return processes.runningCount() == 0; }, std::chrono::seconds(10)));
  }
  std::vector<std::string> callsOf(std::initializer_list<const char*> words) const {
    std::vector<std::string> found;
    for (const std::string& call : observer.calls)
      for (const char* word : words)
        if (call.rfind(word, 0) == 0) found.push_back(call);
    return found;
  }
};

const char* nameOf(Game game) { return game == Game::Quake1 ? "Quake" : "Quake 2"; }

}  // namespace

TEST(LaunchSteps, EveryStepInItsOrderEachInstallOneRunOfTheWindow) {
  const std::vector<std::string> shared = {"step Checking the names on the command line",
                                           "step Listing the game folder",
                                           "step Opening the launch record",
                                           "step Installing the MOD",
                                           "begin Processing MOD",
                                           "end",
                                           "step Installing the maps",
                                           "begin Processing Maps",
                                           "end",
                                           "step Copying the config set"};
  const std::vector<std::string> quake = {"step Installing the skins", "begin Processing Skins", "end",
                                          "step Writing the start script", "step Writing list.v and list.f"};
  const std::vector<std::string> quake2 = {"step Installing the player models",
                                           "begin Processing Models",
                                           "end",
                                           "step Writing the start script",
                                           "step Writing maps.lst",
                                           "step Writing list.v and list.f"};
  const std::vector<std::string> last = {"step Starting the game", "step Starting the clean-up tool"};
  for (Game game : {Game::Quake1, Game::Quake2}) {
    SCOPED_TRACE(nameOf(game));
    FullLaunch l(game);
    ASSERT_TRUE(l.run().ok());
    l.waitForTheirEnd();
    std::vector<std::string> expected = shared;
    const std::vector<std::string>& own = game == Game::Quake1 ? quake : quake2;
    expected.insert(expected.end(), own.begin(), own.end());
    expected.insert(expected.end(), last.begin(), last.end());
    EXPECT_EQ(l.callsOf({"step ", "begin ", "end", "left out"}), expected);
    EXPECT_TRUE(l.observer.told.empty()) << l.observer.told.front();
    EXPECT_TRUE(l.tree.exists("program/term-args.txt")) << "the tool ran";
    EXPECT_NE(l.tree.read(l.folders.game.substr(l.tree.folder().size()) + "args.txt").find("mymod"), std::string::npos);
  }
}

TEST(LaunchSteps, TheSnapshotListsTheFolderBeforeAnyInstallAndTheToolFindsItWritten) {
  for (Game game : {Game::Quake1, Game::Quake2}) {
    SCOPED_TRACE(nameOf(game));
    FullLaunch l(game);
    ASSERT_TRUE(l.run().ok());
    l.waitForTheirEnd();
    const std::vector<std::string>& calls = l.observer.calls;
    const auto lastListed = std::find_if(calls.rbegin(), calls.rend(),
                                         [](const std::string& call) { return call.rfind("listed ", 0) == 0; });
    ASSERT_NE(lastListed, calls.rend()) << "the folder was not listed";
    EXPECT_LT(static_cast<std::size_t>(calls.rend() - lastListed), l.observer.firstCall("begin "));
    Result<InstallSnapshot> lists = ReadSnapshotFiles(l.vars.programFolder);
    ASSERT_TRUE(lists.ok()) << lists.error().text;
    EXPECT_EQ(lists->folders, (std::vector<std::string>{l.folders.game, l.folders.base}));
    EXPECT_EQ(lists->files, (std::vector<std::string>{l.folders.game + "game", l.folders.base + "readme.txt"}))
        << "the MOD, the map, the config set, the skins or models and q.cfg all came after it";
    EXPECT_EQ(l.tree.read("program/term-saw.v"), l.tree.read("program/list.v"));
    EXPECT_EQ(l.tree.read("program/term-saw.f"), l.tree.read("program/list.f"));
  }
}

// The tool works from the launch's record, not from the lists.
TEST(LaunchSteps, WhatIsLeftOutIsToldOnceBeforeTheGameAndTheToolStillRuns) {
  for (Game game : {Game::Quake1, Game::Quake2}) {
    SCOPED_TRACE(nameOf(game));
    FullLaunch l(game);
    std::filesystem::create_directories(l.tree.file("program/list.v/in the way"));
    l.vars.maps(game).chosen.push_back("gone");
    l.vars.selectedSkins.push_back("gone");
    l.vars.chosenModels.push_back({"gone", "red"});
    ASSERT_TRUE(l.run().ok());
    l.waitForTheirEnd();
    ASSERT_EQ(l.observer.told.size(), 1u);
    const std::string& told = l.observer.told[0];
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 2) << "three lines:\n" << told;
    EXPECT_EQ(told.rfind("gone: ", 0), 0u) << told;
    EXPECT_NE(told.find("\ngone: "), std::string::npos) << told;
    EXPECT_NE(told.find("\nlist.v and list.f: "), std::string::npos) << told;
    EXPECT_LT(l.observer.firstCall("left out "), l.observer.firstCall("step Starting the game"));
    EXPECT_TRUE(l.tree.exists("program/term-args.txt")) << "the tool ran";
  }
}

TEST(LaunchSteps, WithoutItsRecordTheToolIsNotStartedAndThatIsTold) {
  FullLaunch l(Game::Quake2);
  l.tree.write("program/records", "a file where the records folder should be");
  ASSERT_TRUE(l.run().ok());
  l.waitForTheirEnd();
  EXPECT_EQ(std::find(l.observer.steps.begin(), l.observer.steps.end(), LaunchStep::StartTerminator),
            l.observer.steps.end());
  EXPECT_FALSE(l.tree.exists("program/term-args.txt"));
  ASSERT_EQ(l.observer.told.size(), 1u);
  EXPECT_NE(l.observer.told[0].find("the clean-up tool is not started"), std::string::npos) << l.observer.told[0];
  EXPECT_EQ(l.tree.read("quake2/args.txt"), "+set\ngame\nmymod\n+exec\nq.cfg\n") << "the game itself started";
}

TEST(LaunchSteps, AToolThatCannotBeStartedIsToldAfterTheGame) {
  FullLaunch l(Game::Quake1);
  std::filesystem::permissions(l.tree.file("program/term"), std::filesystem::perms::owner_read);
  ASSERT_TRUE(l.run().ok());
  l.waitForTheirEnd();
  ASSERT_EQ(l.observer.told.size(), 1u) << "nothing else was left out";
  EXPECT_EQ(l.observer.told[0].rfind("the clean-up tool: ", 0), 0u) << l.observer.told[0];
  EXPECT_GT(l.observer.firstCall("left out "), l.observer.firstCall("step Starting the clean-up tool"));
  EXPECT_TRUE(l.tree.exists("quake/args.txt")) << "the game had started";
}

// An installed program folder is shared by every user and only read: the launch
// keeps its lists and its record in the user's state folder and hands the tool
// that record.
TEST(LaunchSteps, AnInstalledProgramFolderIsOnlyReadTheListsAndRecordGoToTheStateFolder) {
  FullLaunch l(Game::Quake2);
  l.tree.script("program/term", "printf '%s\\n' \"$@\" > '" + l.tree.folder() + "home/term-args.txt'\n");
  const std::string state = l.tree.folder() + "home/state/fragdock/";
  std::filesystem::create_directories(state);
  l.vars.userFolders = {l.tree.folder() + "home/config/fragdock/", state, l.tree.folder() + "home/cache/fragdock/"};
  const auto before = FolderContents(l.tree.file("program"));
  ASSERT_TRUE(l.run().ok());
  l.waitForTheirEnd();
  EXPECT_EQ(FolderContents(l.tree.file("program")), before) << "nothing was written into the program folder";
  Result<InstallSnapshot> lists = ReadSnapshotFiles(state);
  ASSERT_TRUE(lists.ok()) << lists.error().text;
  EXPECT_EQ(lists->folders.front(), l.folders.game);
  const auto records = FolderContents(state + "records");
  ASSERT_FALSE(records.empty());
  const std::string args = l.tree.read("home/term-args.txt");
  EXPECT_EQ(args.rfind("--record\n" + RecordsFolder(state), 0), 0u) << args;
}
