#include "core/store/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <sys/stat.h>

#include "core/store/ini.h"
#include "testing/tempdir.h"

using namespace fdk;

namespace {

struct Store {
  TempDir prog;
  DefaultRoots roots{"/home/player/"};
  Uvars vars;
  Store() { vars.programFolder = prog.folder(); }
  std::string load() {
    Status loaded = LoadSettings(vars, roots);
    return loaded ? std::string() : loaded.error().text;
  }
  // A fresh run: new store, load, (changes), close.
  Uvars restart() {
    Uvars fresh;
    fresh.programFolder = prog.folder();
    EXPECT_TRUE(LoadSettings(fresh, roots).ok());
    return fresh;
  }
};

std::vector<std::string> keysOf(const std::string& file, const std::string& section) {
  std::vector<std::string> keys;
  std::istringstream in(file);
  std::string line, current;
  while (std::getline(in, line)) {
    if (!line.empty() && line.front() == '[') current = line.substr(1, line.size() - 2);
    else if (current == section && line.find('=') != std::string::npos) keys.push_back(line.substr(0, line.find('=')));
  }
  return keys;
}

}  // namespace

TEST(Settings, FirstStartWritesTheDefaultsInWriteOrder) {
  Store s;
  ASSERT_EQ(s.load(), "");
  std::string file = s.prog.read("Fragdock.ini");
  EXPECT_EQ(file.rfind("[Fragdock]\ndont Save INI=0\nfdockback=themes/Fragdock\nxinc=0\nyinc=0\n\n[Quake 1]\n", 0), 0u)
      << file;
  EXPECT_EQ(keysOf(file, "Quake 1"),
            (std::vector<std::string>{"Path", "Patch", "Maps", "Skins", "UseCFG", "CFG", "EXE", "ACFG", "Terminatr",
                                      "Dedicated", "Dedicatedb", "Listen", "Listenb", "CmdLine", "NoJoy", "NoSound",
                                      "Nocdaudio", "Deathmatch", "Deathmatchb", "Coop", "Coopb", "TeamPlay",
                                      "TeamPlayb", "NoExit", "NoExitb", "Pausable", "Pausableb", "NoDemos", "WinMem",
                                      "WinMemb", "Connect", "Connectb", "HostName", "HostNameb", "fraglimit",
                                      "fraglimitb", "timelimit", "timelimitb", "SameLevel", "SameLevelb", "map",
                                      "mapb", "QuakeWorld", "BaseArg"}));
  EXPECT_EQ(keysOf(file, "Quake 2"),
            (std::vector<std::string>{
                "Path", "Patch", "Maps", "Skins", "UseCFG", "CFG", "EXE", "ACFG", "Terminatr", "Dedicated",
                "Dedicatedb", "Listen", "Listenb", "CmdLine", "Deathmatch", "Deathmatchb", "Coop", "Coopb", "TeamPlay",
                "TeamPlayb", "NoExit", "NoExitb", "Pausable", "Pausableb", "NoDemos", "WinMem", "WinMemb", "Connect",
                "Connectb", "HostName", "HostNameb", "fraglimit", "fraglimitb", "timelimit", "timelimitb", "SameLevel",
                "SameLevelb", "map", "mapb", "maxclients", "maxclientsb", "quaddrop", "nofriendlifire", "weaponstay",
                "spawnfarthest", "nohelth", "nopowerups", "nofallingdamage", "forcerespawn", "noarmor", "inammo",
                "inpower", "fixfov", "teamsbyskin", "teamsbymodel", "cddir", "cmaplist", "cddirb", "BaseArg"}));
  IniFile ini = IniFile::parse(file);
  EXPECT_EQ(ini.read("Quake 1", "Path"), "/home/player/games/quake/");
  EXPECT_EQ(ini.read("Quake 1", "Patch"), "/home/player/patches/");
  EXPECT_EQ(ini.read("Quake 2", "Patch"), "/home/player/games/quake2/patches/");
  EXPECT_EQ(ini.read("Quake 2", "cddirb"), "/home/player/quake2");
  EXPECT_EQ(ini.read("Quake 1", "EXE"), "quakd.exe");
  EXPECT_EQ(ini.read("Quake 1", "Dedicatedb"), "16");
  EXPECT_EQ(ini.read("Quake 2", "Dedicatedb"), "1");
  EXPECT_EQ(ini.read("Quake 2", "NoDemos"), "1");
  EXPECT_EQ(ini.read("Quake 2", "mapb"), "q2hipdm1");
  EXPECT_EQ(ini.read("Quake 1", "HostNameb"), kPlaceholderServer);
  EXPECT_TRUE(s.vars.q1.NoJoy);
  EXPECT_TRUE(s.vars.q2.quaddrop && s.vars.q2.inpower && s.vars.q2.cmaplist);
}

TEST(Settings, SecondRunLeavesTheFileByteIdentical) {
  Store s;
  s.load();
  std::string first = s.prog.read("Fragdock.ini");
  Uvars again = s.restart();
  ASSERT_TRUE(SaveSettings(again).ok());
  EXPECT_EQ(s.prog.read("Fragdock.ini"), first);
}

TEST(Settings, DontSaveFreezesTheFile) {
  Store s;
  s.prog.write("Fragdock.ini", "[Fragdock]\r\ndont Save INI=1\r\n[Quake 1]\r\nEXE=winquake.exe\r\n");
  std::string before = s.prog.read("Fragdock.ini");
  s.load();
  EXPECT_EQ(s.vars.q1.EXE, "winquake.exe");
  s.vars.q1.EXE = "glquake.exe";
  s.vars.app.xinc = 40;
  EXPECT_TRUE(SaveSettings(s.vars).ok());
  EXPECT_EQ(s.prog.read("Fragdock.ini"), before);
}

TEST(Settings, FolderInvariantOnLoadAndOnSave) {
  Store s;
  s.prog.write("Fragdock.ini", "[Quake 1]\nPath=/games/quake\nCFG=/cfgs\n[Quake 2]\nSkins=\n");
  s.load();
  EXPECT_EQ(s.vars.q1.Path, "/games/quake/");
  EXPECT_EQ(s.vars.q1.CFG, "/cfgs");  // the config folder is only mended when saving
  EXPECT_EQ(s.vars.q2.Skins, "/");
  ASSERT_TRUE(SaveSettings(s.vars).ok());
  IniFile ini = IniFile::load(s.vars.iniPath()).value();
  EXPECT_EQ(ini.read("Quake 1", "CFG"), "/cfgs/");
  EXPECT_EQ(ini.read("Quake 1", "Path"), "/games/quake/");
}

TEST(Settings, MissingKeysComeBackAtZeroAndUnknownOnesStay) {
  Store s;
  s.load();
  std::string file = s.prog.read("Fragdock.ini");
  auto cut = [&](const std::string& line) { file.erase(file.find(line), line.size()); };
  cut("NoJoy=1\n");
  cut("fdockback=themes/Fragdock\n");
  file += "[Mine]\nkeep=me\n";
  s.prog.write("Fragdock.ini", file + "");
  std::string withExtra = file;
  size_t q2 = withExtra.find("[Quake 2]");
  withExtra.insert(q2, "Custom=42\n");
  s.prog.write("Fragdock.ini", withExtra);

  Uvars run = s.restart();
  EXPECT_FALSE(run.q1.NoJoy);                 // built-in zero, not the new-file default
  EXPECT_EQ(run.app.fdockback, "fragdock");   // the one key with its own missing default
  ASSERT_TRUE(SaveSettings(run).ok());
  IniFile ini = IniFile::load(run.iniPath()).value();
  EXPECT_EQ(ini.read("Quake 1", "NoJoy"), "0");
  EXPECT_EQ(ini.read("Quake 1", "Custom"), "42");
  EXPECT_EQ(ini.read("Mine", "keep"), "me");
}

TEST(Settings, DamagedValuesKeepWhatTheStoreHeld) {
  Store s;
  using namespace std::string_literals;
  s.prog.write("Fragdock.ini",
               "[Fragdock]\nxinc=70000\nyinc=-5\n[Quake 1]\nDedicatedb=12a\nNoSound=yes\n"
               "Listenb=\0\nfraglimitb=30\nCoop=7\n"s);
  s.load();
  EXPECT_EQ(s.vars.app.xinc, 0);
  EXPECT_EQ(s.vars.app.yinc, 0);
  EXPECT_EQ(s.vars.q1.Dedicatedb, 0);
  EXPECT_FALSE(s.vars.q1.NoSound);
  EXPECT_EQ(s.vars.q1.fraglimitb, 30);
  EXPECT_TRUE(s.vars.q1.Coop);  // any non-zero number is true
}

TEST(Settings, UnreadableFileIsNeverOverwritten) {
  Store s;
  std::filesystem::create_directories(s.prog.file("Fragdock.ini"));  // there, but not a readable file
  std::string error = s.load();
  EXPECT_NE(error.find("cannot read"), std::string::npos);
  EXPECT_EQ(s.vars.q1.EXE, "quakd.exe");  // runs on the defaults
  EXPECT_TRUE(SaveSettings(s.vars).ok());
  EXPECT_TRUE(std::filesystem::is_directory(s.prog.file("Fragdock.ini")));
}

TEST(Settings, AFileOverTheLimitIsRefusedAndKeptAsItIs) {
  Store s;
  const std::string huge = "[Quake 1]\nEXE=mine\n" + std::string(8u << 20, '\n');
  s.prog.write("Fragdock.ini", huge);
  const std::string error = s.load();
  EXPECT_NE(error.find(s.prog.file("Fragdock.ini")), std::string::npos) << error;
  EXPECT_EQ(s.vars.q1.EXE, "quakd.exe") << "runs on the defaults";
  EXPECT_TRUE(SaveSettings(s.vars).ok());
  EXPECT_TRUE(s.prog.read("Fragdock.ini") == huge);

  // Grown past the limit after it was read: saving says so and leaves it alone.
  s.vars.app.dontSaveIni = false;
  EXPECT_FALSE(SaveSettings(s.vars).ok());
  EXPECT_TRUE(s.prog.read("Fragdock.ini") == huge);
}

TEST(Settings, BackgroundRelativeOrAbsolute) {
  Uvars vars;
  vars.programFolder = "/opt/fragdock/";
  vars.app.fdockback = "themes/Fragdock";
  EXPECT_EQ(BackgroundBase(vars), "/opt/fragdock/themes/Fragdock");
  vars.app.fdockback = "/pics/sky";
  EXPECT_EQ(BackgroundBase(vars), "/pics/sky");
}

TEST(Settings, ALinkedSettingsFileStaysLinkedAndKeepsItsPermissions) {
  Store s;
  s.prog.write("elsewhere/Fragdock.ini", "[Quake 1]\nEXE=winquake\n");
  ::chmod(s.prog.file("elsewhere/Fragdock.ini").c_str(), 0600);
  std::filesystem::create_symlink(s.prog.file("elsewhere/Fragdock.ini"), s.prog.file("Fragdock.ini"));
  s.prog.write("elsewhere/.Fragdock.ini.tmpAb12Cd", "left by a killed save");
  ASSERT_EQ(s.load(), "");
  EXPECT_FALSE(s.prog.exists("elsewhere/.Fragdock.ini.tmpAb12Cd")) << "cleaned up at the start";
  s.vars.q1.EXE = "glquake";
  ASSERT_TRUE(SaveSettings(s.vars).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(s.prog.file("Fragdock.ini")));
  EXPECT_NE(s.prog.read("elsewhere/Fragdock.ini").find("EXE=glquake"), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::stat(s.prog.file("elsewhere/Fragdock.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Settings, ASettingsFileThatIsNotAFileIsNeitherReadNorReplaced) {
  Store s;
  ASSERT_EQ(::mkfifo(s.prog.file("Fragdock.ini").c_str(), 0600), 0);
  EXPECT_NE(s.load(), "") << "said, and did not hang";
  EXPECT_TRUE(s.vars.app.dontSaveIni);
  EXPECT_TRUE(SaveSettings(s.vars).ok());
  struct stat st {};
  ASSERT_EQ(::lstat(s.prog.file("Fragdock.ini").c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// An installed program reads its pictures from the program folder but keeps
// each user's settings in their settings folder, where a restart finds them.
TEST(Settings, AnInstalledProgramKeepsItsSettingsInTheUsersFolder) {
  Store s;
  const std::string settings = s.prog.folder() + "config/fragdock/";
  std::filesystem::create_directories(settings);
  s.vars.usePlaces({s.prog.folder() + "lib/", settings, s.prog.folder() + "state/", s.prog.folder() + "cache/", true});
  ASSERT_EQ(s.load(), "");
  EXPECT_TRUE(s.prog.exists("config/fragdock/Fragdock.ini"));
  s.vars.q2.EXE = "yquake2";
  ASSERT_TRUE(SaveSettings(s.vars).ok());
  Uvars fresh;
  fresh.usePlaces({s.prog.folder() + "lib/", settings, "", "", true});
  ASSERT_TRUE(LoadSettings(fresh, s.roots).ok());
  EXPECT_EQ(fresh.q2.EXE, "yquake2");
  EXPECT_EQ(BackgroundBase(fresh), s.prog.folder() + "lib/themes/Fragdock") << "pictures come from the program folder";
  EXPECT_FALSE(s.prog.exists("Fragdock.ini"));
  EXPECT_FALSE(s.prog.exists("lib"));
}
