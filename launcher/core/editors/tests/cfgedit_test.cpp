#include "core/editors/cfgedit.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "testing/archive.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

using Lines = std::vector<std::string>;

struct Parse {
  const char* what;
  Game game;
  Lines file;
  PlayerFields fields;
  Lines kept;
};

const Parse kParses[] = {
    {"quoted name with a blank and a model/skin pair",
     Game::Quake2,
     {"bind x +attack", "set name \"Big Bob\"", "set skin \"scout/red\"", "rate 25000"},
     {"BigBob", "scout", "red"},
     {"bind x +attack", "rate 25000"}},
    {"the earlier of two name lines wins, both go",
     Game::Quake2,
     {"set name \"first\"", "echo hi", "set name \"second\""},
     {"first", "", ""},
     {"echo hi"}},
    {"a skin without a model, and a second slash stays in the skin",
     Game::Quake2,
     {"set skin \"red\"", "SET SKIN \"male/grunt/x\""},
     {"", "", "red"},
     {}},
    {"upper case, any first four characters and no quotes",
     Game::Quake2,
     {"SET NAME Zed", "xxxxskin/female/athena", "set  name pushed right"},
     {"Zed", "female", "athena"},
     {"set  name pushed right"}},
    {"Quake 2 leaves plain name lines and short lines alone",
     Game::Quake2,
     {"name \"plain\"", "set name", "set"},
     {"", "", ""},
     {"name \"plain\"", "set"}},
    {"Quake takes _cl_name and the name a QuakeWorld save wrote, not skins",
     Game::Quake1,
     {"_cl_name \"Ra nger\"", "set skin \"base\"", "NAME \"qw\""},
     {"Ranger", "", ""},
     {"set skin \"base\""}},
    {"Quake: the earlier line wins whichever of the two it is",
     Game::Quake1,
     {"name qwfirst", "_cl_name later"},
     {"qwfirst", "", ""},
     {}},
};

TEST(PlayerLines, TakenOutOfTheFileIntoTheFields) {
  for (const Parse& c : kParses) {
    SCOPED_TRACE(c.what);
    Lines lines = c.file;
    PlayerFields fields = TakePlayerLines(lines, c.game);
    EXPECT_EQ(fields.name, c.fields.name);
    EXPECT_EQ(fields.model, c.fields.model);
    EXPECT_EQ(fields.skin, c.fields.skin);
    EXPECT_EQ(lines, c.kept);
  }
}

TEST(PlayerLines, ValueIsAtMost255CharactersAndLatin1BytesStay) {
  const std::string longName(300, 'a');
  EXPECT_EQ(ValueOfLine("set name " + longName), std::string(255, 'a'));
  // UTF-8 counts characters, never cutting one in half.
  std::string umlauts;
  for (int i = 0; i < 300; ++i) umlauts += "\xC3\xA4";
  EXPECT_EQ(ValueOfLine("set name " + umlauts), umlauts.substr(0, 510));
  Lines lines = {"set name \"J\xF6rg\""};  // Latin-1
  EXPECT_EQ(TakePlayerLines(lines, Game::Quake2).name, "J\xF6rg");
}

struct Save {
  const char* what;
  Game game;
  bool quakeWorld;
  PlayerFields fields;
  std::string bytes;
};

const Save kSaves[] = {
    {"Quake 2: the rest first, name and skin last",
     Game::Quake2,
     false,
     {"Big Bob", "scout", "red"},
     "bind x +attack\r\nrate 25000\r\nset name \"Big Bob\"\r\nset skin \"scout/red\"\r\n"},
    {"Quake: _cl_name",
     Game::Quake1,
     false,
     {"Ranger", "", ""},
     "bind x +attack\r\nrate 25000\r\n_cl_name \"Ranger\"\r\n"},
    {"QuakeWorld: name", Game::Quake1, true, {"Ranger", "", ""}, "bind x +attack\r\nrate 25000\r\nname \"Ranger\"\r\n"},
    {"empty fields write no line that would blank the game's",
     Game::Quake2,
     false,
     {"", "", ""},
     "bind x +attack\r\nrate 25000\r\n"},
    {"a typed quote cannot end the value early",
     Game::Quake2,
     false,
     {"a\"b", "", "c\"d"},
     "bind x +attack\r\nrate 25000\r\nset name \"ab\"\r\nset skin \"/cd\"\r\n"},
};

TEST(PlayerLines, SaveWritesTheFieldLinesLastWithCrLf) {
  TempDir dir;
  for (const Save& c : kSaves) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.write("set/config.cfg", "old\n");
    ASSERT_TRUE(SaveConfigFile(path, LinesToSave({"bind x +attack", "rate 25000"}, c.fields, c.game, c.quakeWorld)));
    EXPECT_EQ(dir.read("set/config.cfg"), c.bytes);
  }
}

// Load, save, load again, as the editor does at every SAVE.
TEST(PlayerLines, RepeatedSavesKeepOneNameLineInEveryMode) {
  for (bool quakeWorld : {false, true}) {
    Lines lines = SplitLines("bind x +attack\r\n_cl_name \"old\"\r\n");
    PlayerFields fields = TakePlayerLines(lines, Game::Quake1);
    for (int save = 0; save < 3; ++save) {
      lines = LinesToSave(lines, fields, Game::Quake1, quakeWorld);
      fields = TakePlayerLines(lines, Game::Quake1);
    }
    EXPECT_EQ(fields.name, "old");
    EXPECT_EQ(LinesToSave(lines, fields, Game::Quake1, quakeWorld).size(), 2u) << "QuakeWorld " << quakeWorld;
  }
}

TEST(ConfigText, LinesSplitAtAnyLineEndAndKeepTheirBytes) {
  EXPECT_EQ(SplitLines("a\r\nb\nc"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("a\rb\r\n\n"), (Lines{"a", "b", ""})) << "a lone CR ends a line, as the memo shows it";
  EXPECT_EQ(ConfigFileBytes(SplitLines("x \xE9\ny")), "x \xE9\r\ny\r\n");
}

TEST(ConfigText, OnlySmallTextFilesAreRead) {
  TempDir dir;
  EXPECT_EQ(*ReadConfigFile(dir.write("ok.cfg", "bind a b\n")), "bind a b\n");
  const struct {
    const char* what;
    std::string path;
  } refused[] = {
      {"missing", dir.file("nothing.cfg")},
      {"a folder", (std::filesystem::create_directories(dir.file("folder.cfg")), dir.file("folder.cfg"))},
      {"too big", dir.write("big.cfg", std::string(kMaxConfigBytes + 1, 'a'))},
      {"binary", dir.write("bin.cfg", std::string("ab\0cd", 5))},
  };
  for (const auto& c : refused) EXPECT_FALSE(ReadConfigFile(c.path).ok()) << c.what;
  EXPECT_TRUE(ReadConfigFile(dir.write("limit.cfg", std::string(kMaxConfigBytes, 'a'))).ok());
}

struct SetTree {
  TempDir dir;
  std::string set;
  SetTree() {
    dir.write("cfgs/lan/config.cfg", "set name \"top\"\r\n");
    dir.write("cfgs/lan/Autoexec.cfg", "bind a b\r\n");
    dir.write("cfgs/lan/team/blue.cfg", "set name \"blue\"\r\n");
    dir.write("cfgs/lan/team/config.cfg", "set name \"deeper\"\r\n");
    dir.write("cfgs/lan/.hidden.cfg", "x");
    dir.write("cfgs/lan/.svn/entries", "x");
    std::filesystem::create_symlink(dir.file("cfgs/lan/config.cfg"), dir.file("cfgs/lan/link.cfg"));
    std::filesystem::create_directory_symlink(dir.file("cfgs/lan"), dir.file("cfgs/lan/loop"));
    GameSettings g;
    g.CFG = dir.folder() + "cfgs";  // joined with a separator even without its trailing one
    g.ACFG = "lan";
    set = ConfigSetFolder(g);
  }
};

TEST(ConfigSetScan, FindsFilesBelowSubFoldersWhereTheyLie) {
  SetTree t;
  EXPECT_EQ(t.set, t.dir.folder() + "cfgs/lan/");
  std::vector<ConfigSetFile> files = ScanConfigSet(t.set);
  Lines names, paths;
  for (const ConfigSetFile& f : files) {
    names.push_back(f.name);
    paths.push_back(f.path);
  }
  // The file directly in the set keeps the bare name; the deeper one of the same name shows its path.
  EXPECT_EQ(names, (Lines{"Autoexec.cfg", "blue.cfg", "config.cfg", "team/config.cfg"}));
  EXPECT_EQ(paths,
            (Lines{t.set + "Autoexec.cfg", t.set + "team/blue.cfg", t.set + "config.cfg", t.set + "team/config.cfg"}));
}

TEST(ConfigSetScan, NoSetOrAnUnsafeNameOrAMissingFolderListsNothing) {
  SetTree t;
  for (const char* name : {"", "..", "../lan", "lan/team"}) {
    GameSettings g;
    g.CFG = t.dir.folder() + "cfgs/";
    g.ACFG = name;
    EXPECT_EQ(ConfigSetFolder(g), "") << name;
  }
  EXPECT_TRUE(ScanConfigSet("").empty());
  EXPECT_TRUE(ScanConfigSet(t.dir.folder() + "cfgs/gone/").empty());
}

TEST(ConfigSetSave, AFileInASubFolderIsSavedInPlace) {
  SetTree t;
  const ConfigSetFile blue = ScanConfigSet(t.set)[1];
  Result<std::string> bytes = ReadConfigFile(blue.path);
  ASSERT_TRUE(bytes.ok());
  Lines lines = SplitLines(*bytes);
  PlayerFields fields = TakePlayerLines(lines, Game::Quake2);
  fields.name = "navy";
  ASSERT_TRUE(SaveConfigFile(blue.path, LinesToSave(lines, fields, Game::Quake2, false)));
  EXPECT_EQ(t.dir.read("cfgs/lan/team/blue.cfg"), "set name \"navy\"\r\n");
  EXPECT_FALSE(t.dir.exists("cfgs/lan/blue.cfg"));
}

// A write that runs out of room half-way (a file-size limit stands in for a full disk).
TEST(ConfigSetSave, AFailedSaveLeavesTheOldFileWhole) {
  TempDir dir;
  const std::string path = dir.write("set/config.cfg", "set name \"kept\"\r\n");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit tight = old;
  tight.rlim_cur = 8;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
  Status saved = SaveConfigFile(path, {"bind mouse1 +attack", "set name \"lost\""});
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(saved.ok());
  EXPECT_EQ(dir.read("set/config.cfg"), "set name \"kept\"\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("set")), std::filesystem::directory_iterator()),
            1)
      << "no temporary left";
}

struct Store {
  TempDir dir;
  std::string players = dir.folder() + "quake2/baseq2/players/";
  std::string models = dir.folder() + "models/";
  Tzipform zip;
  Store() {
    dir.write("quake2/baseq2/players/male/tris.md2", "mesh");
    dir.write("quake2/baseq2/players/male/grunt.pcx", "s");
    dir.write("quake2/baseq2/players/male/grunt_i.pcx", "i");
    dir.write("quake2/baseq2/players/male/Viper.PCX", "s");
    dir.write("quake2/baseq2/players/male/viper_I.pcx", "i");
    dir.write("quake2/baseq2/players/male/weapon.pcx", "no icon");
    dir.write("quake2/baseq2/players/male/.old.pcx", "s");
    dir.write("quake2/baseq2/players/male/.old_i.pcx", "i");
    EXPECT_TRUE(WriteArchive(dir.write("models/Scout.ZIP", ""), {{"players/scout/tris.md2", "m"},
                                                                 {"players/scout/red.pcx", "s"},
                                                                 {"players/scout/red_i.pcx", "i"},
                                                                 {"players\\scout\\blue_I.PCX", "i"},
                                                                 {"players/scout/weapon.pcx", "no icon"},
                                                                 {"players/scout/_i.pcx", "nameless"}})
                    .ok());
  }
};

TEST(ModelChoicesLists, InstalledFoldersAndChosenPacksOfferSkinsWithIcons) {
  Store s;
  ModelChoices c = CreateModelChoices({"male", "gone"}, {"scout", "missing"}, s.players, s.models, s.zip);
  EXPECT_EQ(c.models, (Lines{"male", "gone", "scout", "missing"}));
  EXPECT_EQ(c.skins, (std::vector<ModelSkin>{{"male", "Viper"}, {"male", "grunt"}, {"scout", "red"}, {"scout", "blue"}}));
  EXPECT_EQ(SkinsOfModel(c, "scout"), (Lines{"red", "blue"}));
  EXPECT_EQ(SkinsOfModel(c, "Scout"), Lines{}) << "a model is its list's name exactly";
  EXPECT_EQ(SkinsOfModel(c, "gone"), Lines{});
}

TEST(ModelChoicesLists, NothingInstalledOrChosenOffersNothing) {
  Store s;
  ModelChoices c = CreateModelChoices({}, {}, s.players, s.models, s.zip);
  EXPECT_TRUE(c.models.empty() && c.skins.empty());
}

TEST(ModelChoicesLists, ChoosersSortWithoutCaseAndShowEachNameOnce) {
  EXPECT_EQ(SortedChoices({"scout", "Male", "scout", "female", "Scout"}), (Lines{"female", "Male", "Scout", "scout"}));
}

}  // namespace
