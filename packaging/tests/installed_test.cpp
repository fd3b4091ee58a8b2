// The programs as a package installs them: a prefix made by the install rules,
// read-only, started by a user whose home is a temporary folder. Each user's
// settings, launch state and scratch files go to their XDG folders; nothing is
// ever written into the prefix.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/files.h"
#include "core/launch/launchsequence.h"
#include "core/launch/tests/recordingobserver.h"
#include "core/platform/places.h"
#include "core/store/ini.h"
#include "testing/gamesettings.h"
#include "testing/tempdir.h"
#include "testing/wait.h"

extern char** environ;

using namespace fdk;
namespace fs = std::filesystem;

namespace {

const std::string kPrefix = FRAGDOCK_TEST_PREFIX;
const std::string kProgramFolder = kPrefix + "/lib/fragdock/";

// A program of the prefix, started with exactly the environment given.
class Started {
 public:
  Started(const std::string& path, const std::vector<std::string>& args, const std::vector<std::string>& env) {
    std::vector<std::string> words{path};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv, envp;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    std::vector<std::string> vars = env;
    for (std::string& var : vars) envp.push_back(var.data());
    envp.push_back(nullptr);
    if (::posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  }
  ~Started() {
    if (pid_ > 0 && !ended_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool running() const { return pid_ > 0 && !ended_; }
  void terminate() const { ::kill(pid_, SIGTERM); }
  // The exit code once the program has ended; -1 when it had to be killed.
  int exitCode() {
    int status = 0;
    const bool ended = Eventually([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(30));
    ended_ = ended;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
};

mode_t modeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

std::string valueIn(const std::string& iniPath, const char* section, const char* key) {
  Result<IniFile> ini = IniFile::load(iniPath);
  return ini ? ini->read(section, key).value_or("(none)") : "(unreadable)";
}

struct InstalledFragdock : ::testing::Test {
  TempDir dir;
  std::string home = dir.folder() + "home/";
  std::map<std::string, std::string> prefixBefore = FolderContents(kPrefix);

  void SetUp() override { fs::create_directories(home); }
  void TearDown() override { EXPECT_EQ(FolderContents(kPrefix), prefixBefore) << "something was written into the prefix"; }

  std::vector<std::string> environment(const std::vector<std::string>& more = {}) const {
    std::vector<std::string> env{"HOME=" + home, "PATH=/usr/bin:/bin", "QT_QPA_PLATFORM=offscreen"};
    env.insert(env.end(), more.begin(), more.end());
    return env;
  }
  // Starts the launcher from bin/, waits until its main window is up (the logo's
  // scratch copy is written just before it shows), and closes it the way the
  // desktop ends a session. False when it never came up.
  bool runOnce(const std::string& scratch, const std::vector<std::string>& more = {}) {
    fs::remove(scratch + "fdk.bmp");
    Started fragdock(kPrefix + "/bin/fragdock", {}, environment(more));
    if (!fragdock.running()) return false;
    const bool up = Eventually([&] { return fs::exists(scratch + "fdk.bmp"); }, std::chrono::seconds(30));
    fragdock.terminate();
    return fragdock.exitCode() == 0 && up;
  }
};

// The first start writes the defaults into ~/.config/fragdock/; a value changed
// there is read by the next start and written back in the launcher's own form
// (a folder with its trailing separator), so the file was read and saved.
TEST_F(InstalledFragdock, KeepsEachUsersSettingsInTheirConfigFolder) {
  ASSERT_TRUE(fs::exists(kProgramFolder + kInstallMarker));
  const std::string config = home + ".config/fragdock/";
  ASSERT_TRUE(runOnce(home + ".cache/fragdock/"));
  ASSERT_TRUE(fs::exists(config + "Fragdock.ini"));
  EXPECT_EQ(modeOf(config), 0700u);
  EXPECT_EQ(modeOf(home + ".local/state/fragdock"), 0700u);

  Result<IniFile> ini = IniFile::load(config + "Fragdock.ini");
  ASSERT_TRUE(ini.ok());
  ini->write("Quake 2", "Path", "/games/quake2");
  ASSERT_TRUE(writeFileAtomically(config + "Fragdock.ini", ini->serialize()).ok());
  ASSERT_TRUE(runOnce(home + ".cache/fragdock/"));
  EXPECT_EQ(valueIn(config + "Fragdock.ini", "Quake 2", "Path"), "/games/quake2/");
}

TEST_F(InstalledFragdock, HonoursTheXdgFoldersWhenSet) {
  const std::string base = dir.folder() + "xdg/";
  ASSERT_TRUE(runOnce(base + "cache/fragdock/", {"XDG_CONFIG_HOME=" + base + "config", "XDG_STATE_HOME=" + base + "state",
                                                 "XDG_CACHE_HOME=" + base + "cache"}));
  EXPECT_TRUE(fs::exists(base + "config/fragdock/Fragdock.ini"));
  EXPECT_TRUE(fs::is_directory(base + "state/fragdock"));
  EXPECT_FALSE(fs::exists(home + ".config")) << "the home folder's defaults were not used";
}

// Environment values the launcher and the term it starts both read.
struct Environment {
  std::vector<std::pair<std::string, std::string>> saved;
  Environment(std::initializer_list<std::pair<const char*, std::string>> values) {
    for (const auto& [name, value] : values) {
      const char* old = std::getenv(name);
      saved.emplace_back(name, old != nullptr ? old : "\x01");
      ::setenv(name, value.c_str(), 1);
    }
  }
  ~Environment() {
    for (const auto& [name, value] : saved)
      value == "\x01" ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
  }
};

// A Quake 2 launch through the launcher's core with the installed program
// folder: the lists and the record go to the state folder, the installed term
// is started, and once the game has ended the game folder is as it was, plus
// the game's save.
TEST_F(InstalledFragdock, ALaunchWithTheCleanUpToolPutsTheGameFolderBackFromTheStateFolder) {
  GameTree tree;
  const std::string state = dir.folder() + "state/fragdock/";
  Environment env{{"XDG_CONFIG_HOME", dir.folder() + "config"}, {"XDG_STATE_HOME", dir.folder() + "state"},
                  {"XDG_CACHE_HOME", dir.folder() + "cache"}, {"FRAGDOCK_STANDIN_STAY_MS", "200"},
                  {"FRAGDOCK_STANDIN_SAVE", "mymod/save/slot1.sav"}};
  Uvars vars = VarsIn(tree);
  const ProgramPlaces places = FindProgramPlaces(kProgramFolder, XdgEnvironment::FromProcess());
  ASSERT_TRUE(places.installed);
  ASSERT_EQ(places.state, state);
  vars.usePlaces(places);
  ASSERT_TRUE(MakeProgramPlaces(places).ok());

  const std::string game = tree.quake2().game;
  tree.write("quake2/baseq2/pak0.pak", "pak0");
  tree.write("quake2/baseq2/config.cfg", "bind x jump");
  ASSERT_TRUE(tree.archive("mods2/mymod.zip", {{"mymod/pak0.pak", "mod pak"}}).ok());
  ASSERT_TRUE(tree.archive("maps2/arena.zip", {{"baseq2/maps/arena.bsp", "arena"}}).ok());
  tree.write("cfgs2/set/config.cfg", "bind x duel");
  vars.q2.ACFG = "set";
  vars.q2.Terminatr = true;
  vars.q2.cddir = vars.q2.cmaplist = false;
  vars.q2.EXE = FRAGDOCK_STANDIN;
  vars.q2mod = "mymod";
  vars.q2maps.chosen = {"arena"};
  const auto original = FolderContents(game);

  ProcessLayer processes;
  Tzipform zip;
  PakContentState pakContent;
  testhost::RecordingObserver observer;
  Status started = RunLaunch(vars, Game::Quake2, {processes, zip, pakContent}, observer);
  ASSERT_TRUE(started.ok()) << started.error().text;
  EXPECT_TRUE(fs::exists(state + "list.v"));
  EXPECT_TRUE(fs::exists(state + "list.f"));
  EXPECT_EQ(tree.read("quake2/baseq2/config.cfg"), "bind x duel") << "the config set's copy while playing";
  ASSERT_TRUE(Eventually([&] { return !processes.StartedProgramRuns("--record"); }));

  auto expected = original;
  expected["mymod"] = "/";
  expected["mymod/save"] = "/";
  expected["mymod/save/slot1.sav"] = "saved game\n";
  expected["standin-launch.txt"] = tree.read("quake2/standin-launch.txt");
  EXPECT_EQ(FolderContents(game), expected);
  const std::string log = dir.read("state/fragdock/term.log");
  EXPECT_NE(log.find("put back 1 file"), std::string::npos) << log;
  for (const auto& entry : fs::directory_iterator(state + "records"))
    EXPECT_NE(entry.path().extension(), ".record") << "finished records go";
}

}  // namespace
