#include "core/placement/placement.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/archive/tests/fixtures.h"
#include "testing/tempdir.h"

using namespace fdk;
using testfix::Names;
using testfix::tree;
namespace fs = std::filesystem;

namespace {

EntryPath entry(const std::string& stored) {
  Result<EntryPath> path = SafeEntryPath(stored);
  EXPECT_TRUE(path.ok()) << stored;
  return path.ok() ? *path : EntryPath{};
}

Placement open(const TempDir& dir, const std::string& sub = "game") {
  Result<Placement> placement = Placement::Open(dir.file(sub));
  EXPECT_TRUE(placement.ok()) << placement.error().text;
  return std::move(*placement);
}

Status put(Placement& placement, const std::string& stored, const std::string& bytes, bool overwrite) {
  Result<PendingFile> file = placement.Begin(entry(stored), overwrite);
  if (!file) return file.error();
  if (Status wrote = file->Write(bytes); !wrote) return wrote;
  return file->Commit();
}

// Child processes run what could end the test program or change its state:
// signals, limits. Inside them only plain checks, answered by the exit code.
int inChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

pid_t endedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

std::size_t partFiles(const std::string& folder) {
  std::size_t count = 0;
  for (const auto& item : fs::directory_iterator(folder)) count += IsPartFileName(item.path().filename().string());
  return count;
}

EntryPath entryInChild(const std::string& stored) { return SafeEntryPath(stored).value(); }

volatile std::sig_atomic_t gOwnHandlerRan = 0;
void ownHandler(int) { gOwnHandlerRan = 1; }

}  // namespace

TEST(Placement, FoldersMatchWithoutCaseAndMissingOnesTakeTheEntrySpelling) {
  TempDir dir;
  dir.write("game/maps/old.bsp", "old");
  dir.write("game/Baseq2/pak0.pak", "pak");
  Placement placement = open(dir);
  ASSERT_TRUE(put(placement, "MAPS/DM1.BSP", "dm1", false).ok());
  ASSERT_TRUE(put(placement, "baseq2/Players/Male/tris.md2", "md2", false).ok());
  ASSERT_TRUE(put(placement, "baseq2/players/male/a.pcx", "pcx", false).ok());
  ASSERT_TRUE(placement.MakeFolders(entry("NewMod/Empty/")).ok());
  EXPECT_EQ(tree(dir.file("game")),
            (Names{"Baseq2/", "Baseq2/Players/", "Baseq2/Players/Male/", "Baseq2/Players/Male/a.pcx",
                   "Baseq2/Players/Male/tris.md2", "Baseq2/pak0.pak", "NewMod/", "NewMod/Empty/", "maps/",
                   "maps/DM1.BSP", "maps/old.bsp"}));
  EXPECT_EQ(dir.read("game/maps/DM1.BSP"), "dm1");
}

TEST(Placement, TwinFoldersPreferTheExactSpellingElseTheFirstByName) {
  TempDir dir;
  dir.write("game/Maps/a", "");
  dir.write("game/maps/b", "");
  Placement placement = open(dir);
  ASSERT_TRUE(put(placement, "maps/exact.bsp", "", false).ok());
  ASSERT_TRUE(put(placement, "MAPS/first.bsp", "", false).ok());
  EXPECT_TRUE(dir.exists("game/maps/exact.bsp"));
  EXPECT_TRUE(dir.exists("game/Maps/first.bsp"));
}

TEST(Placement, ExistsIgnoresCaseInEveryPartAndSeesWhatThisRunWrote) {
  TempDir dir;
  dir.write("game/id1/pak0.pak", "original");
  Placement placement = open(dir);
  EXPECT_TRUE(placement.Exists(entry("ID1/PAK0.PAK")));
  EXPECT_TRUE(placement.Exists(entry("Id1/")));
  EXPECT_FALSE(placement.Exists(entry("id1/pak1.pak")));
  EXPECT_FALSE(placement.Exists(entry("missing/pak0.pak")));
  ASSERT_TRUE(put(placement, "id1/PAK1.PAK", "new", false).ok());
  ASSERT_TRUE(placement.MakeFolders(entry("id1/maps/")).ok());
  EXPECT_TRUE(placement.Exists(entry("ID1/pak1.pak")));
  EXPECT_TRUE(placement.Exists(entry("ID1/MAPS/")));
}

TEST(Placement, NeverOverwriteHoldsAcrossCaseAndOverwriteKeepsTheExistingSpelling) {
  TempDir dir;
  dir.write("game/pak0.pak", "original");
  ::chmod(dir.file("game/pak0.pak").c_str(), 0600);
  Placement placement = open(dir);

  Result<PendingFile> refused = placement.Begin(entry("PAK0.PAK"), false);
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().text.find("pak0.pak exists"), std::string::npos) << refused.error().text;
  EXPECT_EQ(dir.read("game/pak0.pak"), "original");

  ASSERT_TRUE(put(placement, "PAK0.PAK", "replaced", true).ok());
  EXPECT_EQ(tree(dir.file("game")), Names{"pak0.pak"});
  EXPECT_EQ(dir.read("game/pak0.pak"), "replaced");
  struct stat st {};
  ASSERT_EQ(::stat(dir.file("game/pak0.pak").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST(Placement, AFolderIsNeverReplacedByAFile) {
  TempDir dir;
  dir.write("game/maps/dm1.bsp", "x");
  Placement placement = open(dir);
  Result<PendingFile> file = placement.Begin(entry("MAPS"), true);
  ASSERT_FALSE(file.ok());
  EXPECT_NE(file.error().text.find("is a folder"), std::string::npos) << file.error().text;
  EXPECT_EQ(dir.read("game/maps/dm1.bsp"), "x");
}

TEST(Placement, LinksAndFilesWhereAFolderMustGoRefuseTheEntry) {
  TempDir dir;
  dir.write("outside/keep.txt", "outside");
  dir.write("game/readme.txt", "a file");
  fs::create_directories(dir.file("game"));
  fs::create_directory_symlink(dir.file("outside"), dir.file("game/maps"));
  Placement placement = open(dir);
  struct Row {
    std::string stored;
    std::string reasonHolds;
  };
  for (const Row& row : std::vector<Row>{{"maps/evil.bsp", "symbolic link"},
                                         {"MAPS/evil.bsp", "symbolic link"},
                                         {"maps/sub/evil.bsp", "symbolic link"},
                                         {"README.TXT/evil.bsp", "is a file"}}) {
    Result<PendingFile> file = placement.Begin(entry(row.stored), true);
    ASSERT_FALSE(file.ok()) << row.stored;
    EXPECT_NE(file.error().text.find(row.reasonHolds), std::string::npos) << file.error().text;
    EXPECT_FALSE(placement.MakeFolders(entry(row.stored)).ok()) << row.stored;
    EXPECT_FALSE(placement.Exists(entry(row.stored))) << row.stored;
  }
  EXPECT_EQ(tree(dir.file("outside")), Names{"keep.txt"});
  EXPECT_EQ(tree(dir.file("game")), (Names{"maps", "readme.txt"}));
}

TEST(Placement, AFolderSwappedForALinkAfterItWasListedIsRefused) {
  TempDir dir;
  dir.write("game/maps/dm1.bsp", "x");
  fs::create_directories(dir.file("outside"));
  Placement placement = open(dir);
  ASSERT_TRUE(placement.Exists(entry("maps/dm1.bsp")));  // the listings now say maps is a folder
  fs::rename(dir.file("game/maps"), dir.file("moved"));
  fs::create_directory_symlink(dir.file("outside"), dir.file("game/maps"));
  EXPECT_FALSE(put(placement, "maps/evil.bsp", "evil", false).ok());
  EXPECT_TRUE(fs::is_empty(dir.file("outside")));
}

TEST(Placement, ALinkAtTheTargetIsReplacedItselfNeverWrittenThrough) {
  TempDir dir;
  dir.write("outside.txt", "outside");
  fs::create_directories(dir.file("game"));
  fs::create_symlink(dir.file("outside.txt"), dir.file("game/autoexec.cfg"));
  Placement placement = open(dir);
  EXPECT_TRUE(placement.Exists(entry("AUTOEXEC.CFG")));
  EXPECT_FALSE(put(placement, "autoexec.cfg", "new", false).ok());
  ASSERT_TRUE(put(placement, "autoexec.cfg", "new", true).ok());
  EXPECT_FALSE(fs::is_symlink(dir.file("game/autoexec.cfg")));
  EXPECT_EQ(dir.read("game/autoexec.cfg"), "new");
  EXPECT_EQ(dir.read("outside.txt"), "outside");
}

TEST(Placement, AnUncommittedFileLeavesNothingAndTheTargetOnlyAppearsWhenComplete) {
  TempDir dir;
  Placement placement = open(dir);
  {
    Result<PendingFile> file = placement.Begin(entry("mod/pak0.pak"), false);
    ASSERT_TRUE(file.ok()) << file.error().text;
    ASSERT_TRUE(file->Write("half").ok());
    EXPECT_FALSE(dir.exists("game/mod/pak0.pak"));
    EXPECT_EQ(file->target(), dir.file("game/mod/pak0.pak"));
  }
  EXPECT_EQ(tree(dir.file("game")), Names{"mod/"});
  EXPECT_FALSE(placement.Exists(entry("mod/pak0.pak")));
}

TEST(Placement, AFileThatAppearsWhileWritingIsKeptWithoutOverwrite) {
  TempDir dir;
  Placement placement = open(dir);
  Result<PendingFile> file = placement.Begin(entry("config.cfg"), false);
  ASSERT_TRUE(file.ok());
  ASSERT_TRUE(file->Write("ours").ok());
  dir.write("game/config.cfg", "theirs");
  Status committed = file->Commit();
  ASSERT_FALSE(committed.ok());
  EXPECT_NE(committed.error().text.find("kept"), std::string::npos) << committed.error().text;
  EXPECT_EQ(dir.read("game/config.cfg"), "theirs");
  EXPECT_EQ(tree(dir.file("game")), Names{"config.cfg"});
}

TEST(Placement, AMissingRootIsMadeAndAnUnusableOneIsAnError) {
  TempDir dir;
  Placement placement = open(dir, "deep/new/game");
  EXPECT_EQ(placement.root(), dir.file("deep/new/game") + "/");
  ASSERT_TRUE(put(placement, "a.txt", "a", false).ok());
  EXPECT_EQ(dir.read("deep/new/game/a.txt"), "a");

  dir.write("plain", "x");
  Result<Placement> blocked = Placement::Open(dir.file("plain"));
  ASSERT_FALSE(blocked.ok());
  EXPECT_NE(blocked.error().text.find("plain"), std::string::npos);
}

TEST(Placement, ARealFolderWinsOverItsLinkTwinWhateverTheOrder) {
  struct Row {
    std::string link, folder, stored;
  };
  // The link is first by name ("Maps" before "maps"), then it has the entry's own spelling.
  for (const Row& row : std::vector<Row>{{"Maps", "maps", "MAPS/x.bsp"}, {"maps", "MAPS", "maps/x.bsp"}}) {
    SCOPED_TRACE(row.link + " beside " + row.folder);
    TempDir dir;
    fs::create_directories(dir.file("outside"));
    fs::create_directories(dir.file("game/" + row.folder));
    fs::create_directory_symlink(dir.file("outside"), dir.file("game/" + row.link));
    Placement placement = open(dir);
    ASSERT_TRUE(put(placement, row.stored, "x", false).ok());
    EXPECT_TRUE(dir.exists("game/" + row.folder + "/" + entry(row.stored).name));
    EXPECT_TRUE(fs::is_empty(dir.file("outside")));
    EXPECT_EQ(placement.FolderSpelling(entry(row.stored.substr(0, row.stored.find('/') + 1))), row.folder);
  }
}

TEST(Placement, OnlyWhatIsNotAFolderCountsAsAFileInTheWay) {
  TempDir dir;
  dir.write("game/baseq2/pak0.pak", "pak");
  fs::create_directories(dir.file("game/mymod/maps"));
  fs::create_symlink(dir.file("nowhere"), dir.file("game/mymod/Config.cfg"));
  Placement placement = open(dir);
  const std::pair<const char*, bool> rows[] = {{"BASEQ2/PAK0.PAK", true}, {"mymod/config.cfg", true},
                                               {"baseq2/", false},        {"mymod/maps/", false},
                                               {"mymod/MAPS", false},     {"mymod/pak0.pak", false}};
  for (const auto& [stored, inTheWay] : rows) EXPECT_EQ(placement.FileExists(entry(stored)), inTheWay) << stored;
}

// What an install compares with an entry is what sits at the place, never
// what a link there points to, and nothing that could block or stream forever.
TEST(Placement, OnlyAPlainFileAtThePlaceOpensForReadingFoundInAnyCase) {
  TempDir dir;
  dir.write("outside/secret.cfg", "outside the game folder");
  dir.write("game/mymod/Autoexec.CFG", "exec mine");
  fs::create_symlink(dir.file("outside/secret.cfg"), dir.file("game/mymod/link.cfg"));
  fs::create_directory_symlink(dir.file("outside"), dir.file("game/away"));
  fs::create_directories(dir.file("game/mymod/maps"));
  ASSERT_EQ(::mkfifo(dir.file("game/mymod/pipe.cfg").c_str(), 0600), 0);
  Placement placement = open(dir);
  Result<ExistingFile> file = placement.OpenExisting(entry("MYMOD/autoexec.cfg"));
  ASSERT_TRUE(file.ok()) << file.error().text;
  std::string bytes(64, '\0');
  Result<std::size_t> n = file->Read(bytes.data(), bytes.size());
  ASSERT_TRUE(n.ok());
  EXPECT_EQ(bytes.substr(0, *n), "exec mine");
  EXPECT_EQ(file->size(), 9u);
  for (const char* stored :
       {"mymod/link.cfg", "away/secret.cfg", "mymod/pipe.cfg", "mymod/maps", "mymod/gone.cfg", "mymod/"})
    EXPECT_FALSE(placement.OpenExisting(entry(stored)).ok()) << stored;
}

TEST(Placement, TheNextPlacementRemovesTemporaryFilesOfEndedInstallsOnly) {
  TempDir dir;
  const std::string ended = std::to_string(endedProcess());
  const std::string stale = ".fragdock-part-" + ended + ".tmpAb12Cd";
  struct Row {
    std::string name;
    bool removed;
  };
  const Row rows[] = {
      {stale, true},
      {".fragdock-part-" + ended + ".tmp000000", true},
      {".fragdock-part-" + std::to_string(::getppid()) + ".tmpAb12Cd", false},  // its install may still run
      {".fragdock-part-" + std::to_string(::getpid()) + ".tmpAb12Cd", false},   // another placement of ours
      {stale + "x", false},
      {stale.substr(1), false},
      {".fragdock-part-0" + ended + ".tmpAb12Cd", false},
      {".fragdock-part-" + ended + ".tmpAb-2Cd", false},
      {".pak0.pak.tmpAb12Cd", false},
  };
  for (const Row& row : rows) dir.write("game/mod/" + row.name, "part");
  dir.write("outside.pak", "outside");
  fs::create_symlink(dir.file("outside.pak"), dir.file("game/mod/" + stale.substr(0, stale.size() - 1) + "L"));
  fs::create_directories(dir.file("game/mod/" + stale.substr(0, stale.size() - 1) + "D"));

  Placement placement = open(dir);
  ASSERT_TRUE(put(placement, "mod/new.pak", "new", false).ok());
  for (const Row& row : rows) EXPECT_NE(dir.exists("game/mod/" + row.name), row.removed) << row.name;
  EXPECT_TRUE(fs::is_symlink(dir.file("game/mod/" + stale.substr(0, stale.size() - 1) + "L")));
  EXPECT_TRUE(fs::is_directory(dir.file("game/mod/" + stale.substr(0, stale.size() - 1) + "D")));
  EXPECT_EQ(dir.read("outside.pak"), "outside");
}

TEST(Placement, AFailedWriteLeavesNoTemporaryFile) {
  TempDir dir;
  const int status = inChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);  // past the limit a write fails with EFBIG instead of ending the process
    const rlimit fourBytes{4, 4};
    ::setrlimit(RLIMIT_FSIZE, &fourBytes);
    Result<Placement> placement = Placement::Open(dir.file("game"));
    Result<PendingFile> file = placement ? placement->Begin(entryInChild("mod/big.pak"), false) : Error{};
    if (!file) return 2;
    return file->Write("more than four bytes").ok() ? 3 : 0;
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the step that went wrong";
  EXPECT_EQ(tree(dir.file("game")), Names{"mod/"});
}

TEST(Placement, AStopSignalRemovesTheFileBeingWrittenThenEndsTheProcessAsBefore) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    int ready[2], hold[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGTERM, SIG_DFL);  // what the signals do to a program that handles neither
      ::signal(SIGINT, SIG_DFL);
      Result<Placement> placement = Placement::Open(dir.file("game"));
      Result<PendingFile> file = placement ? placement->Begin(entryInChild("mod/big.pak"), false) : Error{};
      char byte = 1;
      if (!file || !file->Write("the first half") || ::write(ready[1], &byte, 1) != 1) ::_exit(2);
      [[maybe_unused]] ssize_t never = ::read(hold[0], &byte, 1);  // the parent never writes
      ::_exit(3);
    }
    ::close(ready[1]);
    ::close(hold[0]);
    char byte = 0;
    const bool writing = ::read(ready[0], &byte, 1) == 1;
    if (writing) {
      EXPECT_EQ(partFiles(dir.file("game/mod")), 1u);
    }
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(hold[1]);
    ASSERT_TRUE(writing) << "the child could not start its file";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(tree(dir.file("game")), Names{"mod/"});
  }
}

TEST(Placement, AStopSignalTheProgramHandlesRemovesTheFileAndStopsEveryInstall) {
  TempDir dir;
  const int status = inChild([&] {
    // As the launcher does: a handler of its own that lets it end in its own time.
    struct sigaction own {};
    own.sa_handler = ownHandler;
    sigemptyset(&own.sa_mask);
    ::sigaction(SIGTERM, &own, nullptr);
    Result<Placement> placement = Placement::Open(dir.file("game"));
    Result<PendingFile> file = placement ? placement->Begin(entryInChild("mod/big.pak"), false) : Error{};
    if (!file || !file->Write("the first half")) return 2;
    ::raise(SIGTERM);
    if (gOwnHandlerRan != 1) return 3;
    if (partFiles(dir.file("game/mod")) != 0) return 4;
    if (!InstallsStopped() || file->Write("the second half").ok() || file->Commit().ok()) return 5;
    if (placement->Begin(entryInChild("mod/other.pak"), false).ok()) return 6;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the step that went wrong";
  EXPECT_EQ(tree(dir.file("game")), Names{"mod/"});
}

namespace {

// Notes every announcement as "<call> <path below the game folder>"; refuses
// the paths it is told to.
struct NotingRecorder : ChangeRecorder {
  std::string root;
  std::vector<std::string> calls;
  std::vector<std::string> refused;

  Status note(const char* call, const std::string& path) {
    const std::string below = path.substr(root.size());
    if (std::find(refused.begin(), refused.end(), below) != refused.end()) return Error{"refused " + below};
    calls.push_back(std::string(call) + " " + below);
    return {};
  }
  Status BeforeFolder(const std::string& path) override { return note("folder", path); }
  Status BeforeWrite(const std::string& path) override { return note("write", path); }
  Status AfterWrite(const std::string& path) override { return note("written", path); }
  Status BeforeRemove(const std::string& path) override { return note("remove", path); }
};

}  // namespace

TEST(PlacementRecorder, TellsWhatItMakesInItsSpellingOnDiskAndNothingItKeeps) {
  TempDir dir;
  dir.write("game/Maps/dm1.bsp", "game's");
  NotingRecorder recorder;
  recorder.root = dir.folder() + "game/";
  Result<Placement> opened = Placement::Open(dir.file("game"), &recorder);
  ASSERT_TRUE(opened.ok()) << opened.error().text;
  Placement& placement = *opened;

  EXPECT_FALSE(put(placement, "MAPS/DM1.BSP", "kept", false).ok());
  ASSERT_TRUE(put(placement, "maps/new.bsp", "new", false).ok());
  ASSERT_TRUE(put(placement, "maps/DM1.bsp", "over", true).ok());
  ASSERT_TRUE(placement.MakeFolders(entry("maps/")).ok());  // there already: nothing to tell
  ASSERT_TRUE(put(placement, "players/Male/tris.md2", "md2", false).ok());
  Result<Placement> skins = placement.OpenFolder(entry("qw/skins/"));
  ASSERT_TRUE(skins.ok());
  ASSERT_TRUE(put(*skins, "red.pcx", "pcx", false).ok());

  EXPECT_EQ(recorder.calls, (Names{
                                "write Maps/new.bsp",
                                "written Maps/new.bsp",
                                "write Maps/dm1.bsp",
                                "written Maps/dm1.bsp",
                                "folder players/",
                                "folder players/Male/",
                                "write players/Male/tris.md2",
                                "written players/Male/tris.md2",
                                "folder qw/",
                                "folder qw/skins/",
                                "write qw/skins/red.pcx",
                                "written qw/skins/red.pcx",
                            }));
}

TEST(PlacementRecorder, ARefusedAnnouncementRefusesTheEntryAndLeavesNothing) {
  TempDir dir;
  fs::create_directories(dir.file("game"));
  NotingRecorder recorder;
  recorder.root = dir.folder() + "game/";
  recorder.refused = {"maps/", "pak0.pak"};
  Result<Placement> opened = Placement::Open(dir.file("game"), &recorder);
  ASSERT_TRUE(opened.ok());
  EXPECT_FALSE(put(*opened, "maps/dm1.bsp", "x", false).ok());
  EXPECT_FALSE(put(*opened, "pak0.pak", "x", false).ok());
  EXPECT_TRUE(tree(dir.file("game")).empty()) << "no folder, file or temporary file";
  EXPECT_TRUE(recorder.calls.empty());

  // A recorded install goes into a game folder; it never makes one.
  EXPECT_FALSE(Placement::Open(dir.file("missing"), &recorder).ok());
  EXPECT_FALSE(fs::exists(dir.file("missing")));
}
