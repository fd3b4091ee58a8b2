#include "core/launch/launch.h"

#include <gtest/gtest.h>

#include "core/launch/launchoptions.h"
#include "core/platform/processes.h"
#include "testing/gamesettings.h"

#include <filesystem>

using namespace fdk;

namespace {
// Both games installed, with the settings of a new settings file pointing at them.
struct Games {
  GameTree tree;
  Uvars vars = VarsIn(tree.withBaseFolders());
};
}  // namespace

TEST(StartScript, QuakeDefaultsWriteFiveLinesIntoId1) {
  Games g;
  ASSERT_TRUE(WriteStartScript(g.vars, Game::Quake1).ok());
  EXPECT_EQ(g.tree.read("quake/id1/q.cfg"),
            "deathmatch 1\r\nnoexit 2\r\npausable 0\r\nhostname fragdock\r\nfraglimit 15\r\n");
}

TEST(StartScript, QuakeWithModWritesIntoTheModAndRemovesTheOldOne) {
  Games g;
  g.tree.write("quake/id1/q.cfg", "old");
  g.tree.write("quake/ctf/q.cfg", "old");
  g.vars.q1mod = "ctf";
  g.vars.q1.Pausable = true;
  g.vars.q1.NoDemos = true;
  g.vars.q1.HostName = false;
  ASSERT_TRUE(WriteStartScript(g.vars, Game::Quake1).ok());
  EXPECT_FALSE(g.tree.exists("quake/id1/q.cfg"));
  EXPECT_EQ(g.tree.read("quake/ctf/q.cfg"), "deathmatch 1\r\nnoexit 2\r\nfraglimit 15\r\nmap \r\n");
}

TEST(StartScript, EveryQuakeLineInOrder) {
  Games g;
  GameSettings& q = g.vars.q1;
  q.Coop = q.TeamPlay = q.Connect = q.timelimit = q.SameLevel = q.map = q.NoDemos = true;
  q.Connectb = "192.0.2.1";
  q.mapb = "e1m1";
  auto lines = Q1StartScriptLines(q);
  EXPECT_EQ(lines, (std::vector<std::string>{"deathmatch 1", "coop 1", "teamplay 1", "noexit 2", "pausable 0",
                                             "connect 192.0.2.1", "hostname fragdock", "fraglimit 15", "timelimit 10",
                                             "samelevel 1", "map e1m1", "map "}));
}

TEST(StartScript, QuakeTwoDefaultsAndEmptyScript) {
  Games g;
  g.tree.write("quake2/baseq2/q.cfg", "old");
  ASSERT_TRUE(WriteStartScript(g.vars, Game::Quake2).ok());
  EXPECT_EQ(g.tree.read("quake2/baseq2/q.cfg"),
            "deathmatch 1\r\nhostname fragdock\r\nfraglimit 15\r\nmap guer\r\ndmflags 16400\r\n");
  GameSettings q1{};
  q1.Pausable = true;
  EXPECT_TRUE(Q1StartScriptLines(q1).empty());  // written even when it has no lines
}

TEST(StartScript, UnwritableFolderAndHostileModAreReported) {
  Games g;
  std::filesystem::remove_all(g.tree.file("quake2"));
  g.tree.write("quake2", "a file where the game folder should be");
  EXPECT_NE(WriteStartScript(g.vars, Game::Quake2).error().text.find("q.cfg"), std::string::npos);
  g.vars.q1mod = "..";
  EXPECT_FALSE(WriteStartScript(g.vars, Game::Quake1).ok());
  EXPECT_FALSE(g.tree.exists("q.cfg"));
}

TEST(DeathmatchFlags, Bits) {
  GameSettings q2{};
  q2.NoExit = true;
  EXPECT_EQ(DeathmatchFlags(q2), 0);
  q2.NoExit = false;
  EXPECT_EQ(DeathmatchFlags(q2), 4096);
  q2.teamsbymodel = true;  // team play off: the team mode adds nothing
  EXPECT_EQ(DeathmatchFlags(q2), 4096);
  for (bool* on : {&q2.nohelth, &q2.nopowerups, &q2.weaponstay, &q2.nofallingdamage, &q2.inpower, &q2.SameLevel,
                   &q2.nofriendlifire, &q2.spawnfarthest, &q2.forcerespawn, &q2.noarmor, &q2.inammo, &q2.quaddrop,
                   &q2.fixfov, &q2.TeamPlay})
    *on = true;
  EXPECT_EQ(DeathmatchFlags(q2), 65471);
  q2.teamsbymodel = false;
  q2.teamsbyskin = true;
  EXPECT_EQ(DeathmatchFlags(q2), 65471 - 128 + 64);
}

TEST(CommandLine, QuakeInFixedOrder) {
  Games g;
  GameSettings& q = g.vars.q1;
  q.WinMem = false;
  q.Listen = true;
  q.Listenb = 8;
  g.vars.q1mod = "ctf";
  EXPECT_EQ(Q1CommandLine(g.vars), "quakd.exe -game ctf -nojoy -listen 8 +exec q.cfg ");
  g.vars.q1mod.clear();
  q.NoJoy = q.Listen = false;
  q.Dedicated = q.WinMem = q.Nocdaudio = q.NoSound = true;
  q.CmdLine = "+skill 3";
  EXPECT_EQ(Q1CommandLine(g.vars), "quakd.exe -dedicated 16 -winmem 10 -nocdaudio -nosound +exec q.cfg +skill 3");
}

TEST(CommandLine, QuakeTwo) {
  Games g;
  GameSettings& q = g.vars.q2;
  q.cddir = false;
  q.Dedicated = true;
  q.Dedicatedb = 8;
  g.vars.q2mod = "Arena";
  g.vars.modGameFolder = "arena";
  EXPECT_EQ(Q2CommandLine(g.vars), "quake2.exe +set dedicated 8 +set game arena +exec q.cfg ");
  q.Dedicated = false;
  g.vars.q2mod.clear();
  q.cddir = true;
  q.cddirb.clear();
  EXPECT_EQ(Q2CommandLine(g.vars), "quake2.exe +exec q.cfg  +set cddir ");
}

TEST(ConfigSets, OnlyPlainFilesAreCopiedAndReplace) {
  Games g;
  g.tree.writeFiles({{"cfgs1/lan/config.cfg", "new config"},
                     {"cfgs1/lan/autoexec.cfg", "binds"},
                     {"cfgs1/lan/.hidden", "no"},
                     {"cfgs1/lan/notes/readme.txt", "no"},
                     {"cfgs1/.git/x", "no"},
                     {"quake/id1/config.cfg", "old config"}});
  EXPECT_EQ(ConfigSetChoices(g.vars.q1), (std::vector<std::string>{"(none)", "lan"}));
  EXPECT_TRUE(CopyConfigSet(g.vars, Game::Quake1).empty());  // no set chosen: nothing happens
  EXPECT_EQ(g.tree.read("quake/id1/config.cfg"), "old config");

  options::ChooseConfigSet(g.vars.q1, "lan");
  EXPECT_TRUE(g.vars.q1.UseCFG);
  g.vars.q1mod = "ctf";
  EXPECT_TRUE(CopyConfigSet(g.vars, Game::Quake1).empty());
  EXPECT_EQ(g.tree.read("quake/id1/config.cfg"), "new config");
  EXPECT_EQ(g.tree.read("quake/ctf/autoexec.cfg"), "binds");
  EXPECT_FALSE(g.tree.exists("quake/id1/.hidden"));
  EXPECT_FALSE(g.tree.exists("quake/id1/notes"));

  g.tree.write("cfgs2/duel/config.cfg", "q2");
  g.vars.q2.ACFG = "duel";
  g.vars.q2mod = "arena";
  EXPECT_TRUE(CopyConfigSet(g.vars, Game::Quake2).empty());
  EXPECT_EQ(g.tree.read("quake2/baseq2/config.cfg"), "q2");
  EXPECT_EQ(g.tree.read("quake2/arena/config.cfg"), "q2");

  options::ChooseConfigSet(g.vars.q1, "(none)");
  EXPECT_FALSE(g.vars.q1.UseCFG);
  EXPECT_EQ(g.vars.q1.ACFG, "");
}

TEST(ValueFields, CountAndNumberRules) {
  struct Row {
    const char* text;
    int stored;
    const char* shown;
    int value;
  };
  const Row counts[] = {{"12", 5, "12", 12}, {"255", 5, "255", 255}, {"256", 5, "5", 5}, {"-1", 5, "5", 5},
                        {"", 5, "0", 0},     {"1x", 7, "7", 7},      {"0", 5, "0", 0}};
  for (const Row& r : counts) {
    auto out = options::CountField(r.text, r.stored);
    EXPECT_EQ(out.text, r.shown) << r.text;
    EXPECT_EQ(out.value, r.value) << r.text;
  }
  EXPECT_EQ(options::NumberField("12a").text, "");
  EXPECT_EQ(options::NumberField("12a").value, 0);
  EXPECT_EQ(options::NumberField("-3").value, -3);
  EXPECT_EQ(options::NumberField("999").value, 999);
  EXPECT_EQ(options::Raise(255), 255);
  EXPECT_EQ(options::Lower(0), 0);
}

TEST(Terminator, OnlyWhenTheToolIsThereAndHandedTheRecordAsOneWord) {
  Games g;
  const std::string record = g.tree.program() + "records/2-00000000001700000000.000000001-7.record";
  EXPECT_EQ(TerminatorCommandLine(g.vars, record), "");
  g.tree.write("program/term", "");
  const std::string line = TerminatorCommandLine(g.vars, record);
  EXPECT_EQ(SplitCommandLine(line), (std::vector<std::string>{g.tree.program() + "term", "--record", record}));
}

TEST(ConfigSets, SetNamesThatLeaveTheCfgFolderCopyNothing) {
  Games g;
  g.tree.write("outside/config.cfg", "from outside the CFG folder");
  g.tree.write("cfgs1/lan/config.cfg", "lan");
  for (const char* name : {"../outside", "../../../../../etc", "lan/../../outside", "..", ".", "/etc", "a\\b"}) {
    g.vars.q1.ACFG = name;
    g.vars.q2.ACFG = name;
    EXPECT_TRUE(ConfigSetFiles(g.vars.q1).empty()) << name;
    Report q1 = CopyConfigSet(g.vars, Game::Quake1);
    Report q2 = CopyConfigSet(g.vars, Game::Quake2);
    ASSERT_EQ(q1.size(), 1u) << name;
    EXPECT_NE(q1.text().find("not a plain folder name"), std::string::npos) << q1.text();
    EXPECT_EQ(q2.size(), 1u) << name;
    EXPECT_FALSE(g.tree.exists("quake/id1/config.cfg")) << name;
    EXPECT_FALSE(g.tree.exists("quake2/baseq2/config.cfg")) << name;
  }
}

TEST(ConfigSets, LinksAreNeitherFollowedInTheSetNorWrittenThroughInTheGame) {
  Games g;
  g.tree.writeFiles({{"cfgs1/lan/autoexec.cfg", "binds"},
                     {"cfgs1/lan/config.cfg", "name player"},
                     {"private/passwd", "secret"},
                     {"elsewhere/autoexec.cfg", "a file outside the game"}});
  std::filesystem::create_symlink(g.tree.file("private/passwd"), g.tree.file("cfgs1/lan/passwd.cfg"));
  std::filesystem::create_symlink(g.tree.file("elsewhere/autoexec.cfg"), g.tree.file("quake/id1/autoexec.cfg"));
  g.vars.q1.ACFG = "lan";

  Report failed = CopyConfigSet(g.vars, Game::Quake1);
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed.entries()[0].what, "passwd.cfg");
  EXPECT_NE(failed.text().find("symbolic link"), std::string::npos) << failed.text();
  EXPECT_FALSE(g.tree.exists("quake/id1/passwd.cfg"));
  EXPECT_EQ(g.tree.read("quake/id1/autoexec.cfg"), "binds");
  EXPECT_FALSE(std::filesystem::is_symlink(g.tree.file("quake/id1/autoexec.cfg")));
  EXPECT_EQ(g.tree.read("elsewhere/autoexec.cfg"), "a file outside the game");
  EXPECT_EQ(g.tree.read("quake/id1/config.cfg"), "name player");
}

TEST(GameFolders, MissingFoldersAreReportedAndNeverMade) {
  Games g;
  EXPECT_TRUE(CheckGameFolders(g.vars, Game::Quake1).ok());
  EXPECT_TRUE(CheckGameFolders(g.vars, Game::Quake2).ok());

  g.vars.q1.Path = g.tree.folder() + "qauke/";  // mistyped
  std::string error = CheckGameFolders(g.vars, Game::Quake1).error().text;
  EXPECT_NE(error.find("qauke/ does not exist"), std::string::npos) << error;
  EXPECT_EQ(CheckGameFolders(g.vars, Game::Quake1).error().kind, ErrorKind::Missing);
  EXPECT_FALSE(WriteStartScript(g.vars, Game::Quake1).ok());
  EXPECT_FALSE(g.tree.exists("qauke")) << "the start script makes no game folder";

  std::filesystem::remove_all(g.tree.file("quake2/baseq2"));
  error = CheckGameFolders(g.vars, Game::Quake2).error().text;
  EXPECT_NE(error.find("\"baseq2/\""), std::string::npos) << error;
  EXPECT_FALSE(WriteStartScript(g.vars, Game::Quake2).ok());
  g.vars.q2.ACFG = "duel";
  g.tree.write("cfgs2/duel/config.cfg", "q2");
  EXPECT_FALSE(CopyConfigSet(g.vars, Game::Quake2).empty());
  EXPECT_FALSE(g.tree.exists("quake2/baseq2")) << "neither does the config-set copy";
}

TEST(CommandLine, EveryNameIsOneWordOrdinaryNamesAsBefore) {
  Games g;
  g.vars.q1.EXE = "win quake";
  g.vars.q1mod = "My Mod";
  g.vars.q1.NoJoy = g.vars.q1.WinMem = false;
  g.vars.q1.CmdLine = "+skill 3";  // the player's own text stays as typed
  EXPECT_EQ(Q1CommandLine(g.vars), "\"win quake\" -game \"My Mod\" +exec q.cfg +skill 3");
  EXPECT_EQ(SplitCommandLine(Q1CommandLine(g.vars)),
            (std::vector<std::string>{"win quake", "-game", "My Mod", "+exec", "q.cfg", "+skill", "3"}));

  g.vars.q2mod = "cool";
  g.vars.modGameFolder = "Cool Mod";
  g.vars.q2.cddirb = "/mnt/my cd";
  EXPECT_EQ(SplitCommandLine(Q2CommandLine(g.vars)),
            (std::vector<std::string>{"quake2.exe", "+set", "game", "Cool Mod", "+exec", "q.cfg", "+set", "cddir",
                                      "/mnt/my cd"}));
}

TEST(CommandLine, QuotedNamesComeBackWholeFromTheSplit) {
  for (std::string name : {"plain", "two words", "tab\there", "it's", "say \"hi\"", "\"", "'\"'", "a\nb", "x\ry"}) {
    EXPECT_EQ(SplitCommandLine("exe " + CommandWord(name) + " next"), (std::vector<std::string>{"exe", name, "next"}))
        << name;
    EXPECT_EQ(SplitCommandLine(QuoteWord(name)), std::vector<std::string>{name}) << name;
  }
  EXPECT_EQ(CommandWord("ctf"), "ctf");
  EXPECT_EQ(CommandWord(""), "");
}

TEST(CommandLine, NamesThatCannotBeOneWordAreRefusedNamingTheModOrSetting) {
  struct Row {
    const char* mod;
    const char* folder;
    const char* exe;
    bool ok;
  };
  const Row rows[] = {
      {"ctf", "ctf", "quake2", true},
      {"Cool Mod", "Cool Mod", "quake 2", true},
      {"", "", "quake2", true},
      {"a+b", "", "quake2", false},
      {"ctf", "x;exec evil", "quake2", false},
      {"ctf", "x +exec evil", "quake2", false},
      {"say\"", "", "quake2", false},
      {"ctf", "tab\there", "quake2", false},
      {"ctf", "ctf", "quake2\n+exec evil", false},
  };
  for (const Row& r : rows) {
    Games g;
    g.vars.q2mod = r.mod;
    g.vars.q2.EXE = r.exe;
    const Status checked = CheckCommandLineNames(g.vars, Game::Quake2, r.folder);
    EXPECT_EQ(checked.ok(), r.ok) << r.mod << " / " << r.folder << " / " << r.exe;
    if (!checked.ok()) {
      EXPECT_EQ(checked.error().kind, ErrorKind::Unsafe) << checked.error().text;
    }
    if (!checked.ok() && std::string(r.exe) == "quake2") {
      EXPECT_NE(checked.error().text.find(std::string("MOD \"") + r.mod), std::string::npos) << checked.error().text;
    }
  }
  Games g;
  g.vars.q2.cddir = true;
  g.vars.q2.cddirb = "/mnt/cd\r\n";
  const Status cd = CheckCommandLineNames(g.vars, Game::Quake2);
  ASSERT_FALSE(cd.ok());
  EXPECT_NE(cd.error().text.find("CD folder \"/mnt/cd\\x0D\\x0A\""), std::string::npos) << cd.error().text;
}

// With a base argument the engine is told the game folder (without its
// separator) right after its name; without one the line is the classic one.
TEST(CommandLine, TheBaseArgumentNamesTheGameFolderRightAfterTheProgram) {
  Games g;
  g.vars.q1.NoJoy = g.vars.q1.WinMem = false;
  g.vars.q1.EXE = "/usr/games/quakespasm";
  g.vars.q1.Path = "/home/player/games/quake/";
  g.vars.q1mod = "ctf";
  EXPECT_EQ(Q1CommandLine(g.vars), "/usr/games/quakespasm -game ctf +exec q.cfg ");
  g.vars.q1.BaseArg = "-basedir";
  EXPECT_EQ(Q1CommandLine(g.vars), "/usr/games/quakespasm -basedir /home/player/games/quake -game ctf +exec q.cfg ");

  g.vars.q2.EXE = "yquake2";
  g.vars.q2.cddir = false;
  g.vars.q2.BaseArg = "-datadir";
  g.vars.q2.Path = "/home/player/My Games/quake 2/";
  EXPECT_EQ(SplitCommandLine(Q2CommandLine(g.vars)),
            (std::vector<std::string>{"yquake2", "-datadir", "/home/player/My Games/quake 2", "+exec", "q.cfg"}));
  EXPECT_TRUE(CheckCommandLineNames(g.vars, Game::Quake2).ok());

  g.vars.q2.Path = "/games/it's \"here\"/";
  EXPECT_EQ(CheckCommandLineNames(g.vars, Game::Quake2).error().kind, ErrorKind::Unsafe)
      << "a folder with quotes cannot be one word";
  g.vars.q2.Path = "/games/quake2/";
  g.vars.q2.BaseArg = "-basedir; rm";
  const Status refused = CheckCommandLineNames(g.vars, Game::Quake2);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().text.find("base argument"), std::string::npos) << refused.error().text;
  EXPECT_EQ(Q2CommandLine(g.vars), "yquake2 +exec q.cfg ") << "nothing unknown reaches the line";
}
