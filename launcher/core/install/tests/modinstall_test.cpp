#include "core/install/modinstall.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/wait.h>
#include <unistd.h>

#include "core/install/tests/recordinghost.h"
#include "testing/gamesettings.h"

using namespace fdk;

namespace {

using testhost::RecordingHost;

struct Mods {
  GameTree tree;
  Uvars vars = VarsIn(tree);
  Tzipform zip;
  Mods() { tree.write("quake2/baseq2/pak0.pak", "game data"); }
  void archive(const std::string& mod, const std::vector<ArchiveEntry>& entries) {
    ASSERT_TRUE(tree.archive("mods2/" + mod + ".zip", entries).ok());
  }
  ModInstall install(const std::string& mod, RecordingHost& host) {
    vars.q2mod = mod;
    Result<ModInstall> result = InstallMod(vars, Game::Quake2, zip, host);
    EXPECT_TRUE(result.ok()) << result.error().text;
    return result ? *result : ModInstall{};
  }
};

}  // namespace

TEST(ModInstall, FirstInstallAsksNothingAndFindsTheGameFolder) {
  Mods m;
  m.archive("mymod", {{"mymod/pak0.pak", "mod data"}, {"mymod/autoexec.cfg", "exec mod.cfg"}});
  RecordingHost host;
  ModInstall result = m.install("mymod", host);
  EXPECT_TRUE(result.ran);
  EXPECT_TRUE(result.leftOut.empty()) << result.leftOut.text();
  EXPECT_EQ(host.calls, (std::vector<std::string>{"begin Processing MOD", "counted 8", "counted 12", "second pass",
                                                  "done 8", "done 12", "end"}));
  EXPECT_EQ(m.tree.read("quake2/mymod/pak0.pak"), "mod data");
  EXPECT_EQ(result.modGameFolder, "mymod");
  EXPECT_EQ(host.counters.total(), 20u);
  EXPECT_EQ(host.counters.barWidth(), 350);
}

TEST(ModInstall, ASecondInstallAsksOnceAndNeverReplacesAFile) {
  for (bool yes : {false, true}) {
    Mods m;
    m.archive("mymod", {{"mymod/pak0.pak", "new data"}, {"mymod/new.cfg", "new"}, {"MYMOD/AUTOEXEC.CFG", "new"}});
    m.tree.write("quake2/mymod/pak0.pak", "the player's");
    m.tree.write("quake2/mymod/autoexec.cfg", "the player's");
    RecordingHost host;
    host.answer = yes;
    ModInstall result = m.install("mymod", host);
    EXPECT_EQ(host.only("ask"), std::vector<std::string>{std::string("ask ") + kModConflictQuestion})
        << "asked once, yes = " << yes;
    EXPECT_TRUE(host.oneRunOrNone());
    EXPECT_EQ(m.tree.read("quake2/mymod/pak0.pak"), "the player's");
    EXPECT_EQ(m.tree.read("quake2/mymod/autoexec.cfg"), "the player's") << "letter case does not matter";
    EXPECT_EQ(m.tree.read("quake2/mymod/new.cfg"), "new") << "missing files are still extracted";
    EXPECT_EQ(host.counters.barWidth(), 350);
    EXPECT_EQ(host.counters.done(), host.counters.total());
    EXPECT_TRUE(result.leftOut.empty()) << result.leftOut.text();
    EXPECT_EQ(result.kept.names(), (std::vector<std::string>{"mymod/pak0.pak", "MYMOD/AUTOEXEC.CFG"}))
        << "passed by or kept by the extraction, the player's files stay in the game's way; yes = " << yes;
  }
}

// Only a kept file that holds other bytes than the entry's keeps the player
// from the MOD; the size alone does not tell, nor does a name shared in another case.
TEST(ModInstall, KeptFilesAreNamedOnlyWhenTheyDifferFromTheEntry) {
  struct Row {
    const char* existing;  // below "quake2/mymod/"
    std::string bytes;
    bool named;
  };
  const Row rows[] = {
      {"autoexec.cfg", "exec mod.cfg", false},   // the same bytes
      {"AUTOEXEC.CFG", "exec mod.cfg", false},   // the same bytes under another case
      {"autoexec.cfg", "exec mod.cfx", true},    // the same size
      {"autoexec.cfg", "exec mod.cfg\n", true},  // the same start
      {"autoexec.cfg", "", true},
  };
  for (const Row& r : rows) {
    Mods m;
    m.archive("mymod", {{"mymod/autoexec.cfg", "exec mod.cfg"}, {"mymod/empty.txt", ""}});
    m.tree.write(std::string("quake2/mymod/") + r.existing, r.bytes);
    m.tree.write("quake2/mymod/empty.txt", "");
    RecordingHost host;
    const ModInstall result = m.install("mymod", host);
    EXPECT_EQ(result.kept.names(),
              r.named ? std::vector<std::string>{"mymod/autoexec.cfg"} : std::vector<std::string>{})
        << r.existing << " holding \"" << r.bytes << "\"";
  }
}

TEST(ModInstall, GameFolderRules) {
  struct Row {
    std::vector<std::string> names;
    std::string folder;
  };
  const Row rows[] = {
      {{"mymod/pak0.pak", "mymod/autoexec.cfg"}, "mymod"},
      {{"readme.txt", "mymod/pak0.pak"}, ""},  // the first entry lies at the root
      {{"baseq2/maps/a.bsp", "BaseQ2/maps/b.bsp"}, ""},  // a MOD of maps only
      {{"baseq2/maps/a.bsp", "arena/game.so", "other/x"}, "arena"},
      {{"../evil/x", "\\\\abs", "arena\\\\game.so"}, "arena"},  // unsafe names are passed over, "\\" separates
  };
  for (const Row& row : rows) {
    Mods m;
    std::vector<ArchiveEntry> entries;
    for (const std::string& name : row.names) entries.push_back({name, "x"});
    m.archive("mod", entries);
    ASSERT_TRUE(m.zip.ListArchive(m.tree.file("mods2/mod.zip")).ok());
    EXPECT_EQ(ModGameFolderOf(m.zip), row.folder) << row.names[0];
  }
}

TEST(ModInstall, TheGameFolderTakesTheSpellingOnDiskAndUnsafeEntriesAreReported) {
  Mods m;
  m.tree.write("quake2/mymod/old.cfg", "x");
  m.archive("MyMod", {{"MyMod/pak0.pak", "data"}, {"../../evil", "outside"}});
  RecordingHost host;
  ModInstall result = m.install("MyMod", host);
  EXPECT_EQ(result.modGameFolder, "mymod") << "the game looks for the folder by its real name";
  EXPECT_EQ(m.tree.read("quake2/mymod/pak0.pak"), "data");
  ASSERT_EQ(result.leftOut.size(), 1u);
  EXPECT_EQ(result.leftOut.entries()[0].what, "../../evil");
  EXPECT_FALSE(m.tree.exists("evil"));
  EXPECT_EQ(host.counters.barWidth(), 350);
}

TEST(ModInstall, NoModInstallsNothingAndAnUnreadableArchiveIsAnError) {
  Mods m;
  RecordingHost host;
  EXPECT_FALSE(m.install("", host).ran);
  EXPECT_TRUE(host.calls.empty()) << "no progress window for \"(none)\"";
  m.tree.write("mods2/broken.zip", "PK not really");
  for (const char* mod : {"gone", "broken"}) {
    m.vars.q2mod = mod;
    Result<ModInstall> failed = InstallMod(m.vars, Game::Quake2, m.zip, host);
    ASSERT_FALSE(failed.ok()) << mod;
    EXPECT_NE(failed.error().text.find(std::string(mod) + ".zip"), std::string::npos) << failed.error().text;
  }
  EXPECT_TRUE(host.calls.empty());
  EXPECT_FALSE(m.tree.exists("quake2/gone"));
}

TEST(ModInstall, TheArchiveIsFoundInAnyLetterCase) {
  Mods m;
  m.archive("ZeusBots", {{"zeusbots/progs.dat", "bots"}});
  RecordingHost host;
  ModInstall result = m.install("zeusbots", host);  // listed from "zeusbots.txt"
  EXPECT_EQ(m.tree.read("quake2/zeusbots/progs.dat"), "bots");
  EXPECT_EQ(result.modGameFolder, "zeusbots");
}

TEST(ModInstall, FolderEntriesNeverAskOnlyAFileInTheWayDoes) {
  using Kind = ArchiveEntry::Kind;
  const std::vector<ArchiveEntry> entries = {{"baseq2/", "", Kind::Folder},
                                             {"baseq2/maps/", "", Kind::Folder},
                                             {"baseq2/maps/arena.bsp", "arena"},
                                             {"mymod/", "", Kind::Folder},
                                             {"mymod/pak0.pak", "mod data"}};
  Mods m;
  m.archive("mymod", entries);
  RecordingHost first;
  ModInstall result = m.install("mymod", first);
  EXPECT_TRUE(first.only("ask").empty()) << "baseq2/ is there already, and it is a folder";
  EXPECT_TRUE(result.leftOut.empty()) << result.leftOut.text();
  EXPECT_EQ(m.tree.read("quake2/baseq2/maps/arena.bsp"), "arena");
  EXPECT_EQ(result.modGameFolder, "mymod");

  RecordingHost second;
  m.install("mymod", second);
  EXPECT_EQ(second.only("ask"), std::vector<std::string>{std::string("ask ") + kModConflictQuestion});
}

TEST(ModInstall, TheModGoesIntoTheRealFolderAndNamesItNotItsLinkTwin) {
  namespace fs = std::filesystem;
  Mods m;
  fs::create_directories(m.tree.file("quake2/mymod"));
  fs::create_directories(m.tree.file("outside"));
  fs::create_directory_symlink(m.tree.file("outside"), m.tree.file("quake2/MyMod"));
  m.archive("MyMod", {{"MyMod/pak0.pak", "data"}});
  RecordingHost host;
  ModInstall result = m.install("MyMod", host);
  EXPECT_TRUE(result.leftOut.empty()) << result.leftOut.text();
  EXPECT_EQ(m.tree.read("quake2/mymod/pak0.pak"), "data");
  EXPECT_TRUE(fs::is_empty(m.tree.file("outside")));
  EXPECT_EQ(result.modGameFolder, "mymod");
}

TEST(ModInstall, LeftoversOfAKilledInstallGoAtTheNextInstallTheUsersFilesStay) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);  // its number now names no running process
  const std::string leftover = ".fragdock-part-" + std::to_string(child) + ".tmpQ3x9Zz";
  Mods m;
  m.tree.write("quake2/mymod/" + leftover, "half of a big file");
  m.tree.write("quake2/mymod/" + leftover + ".keep", "the player's");
  m.tree.write("quake2/mymod/.big0.bin.tmpQ3x9Zz", "the player's");
  m.archive("mymod", {{"mymod/pak0.pak", "mod data"}});
  RecordingHost host;
  m.install("mymod", host);
  EXPECT_FALSE(m.tree.exists("quake2/mymod/" + leftover));
  EXPECT_EQ(m.tree.read("quake2/mymod/" + leftover + ".keep"), "the player's");
  EXPECT_EQ(m.tree.read("quake2/mymod/.big0.bin.tmpQ3x9Zz"), "the player's");
}

// Each entry alone would fit: the MOD is weighed as a whole before its first file.
TEST(ModInstall, AModThatDoesNotFitTheDiskIsRefusedBeforeAnythingIsWritten) {
  Mods m;
  m.archive("big", {{"big/a.pak", std::string(600, 'a')}, {"big/b.pak", std::string(600, 'b')}});
  m.zip.SetFreeSpaceQuery([](const std::string&) -> Result<std::uint64_t> { return 1000; });
  m.vars.q2mod = "big";
  RecordingHost host;
  Result<ModInstall> result = InstallMod(m.vars, Game::Quake2, m.zip, host);
  ASSERT_FALSE(result.ok());
  EXPECT_NE(result.error().text.find("\"big\""), std::string::npos) << result.error().text;
  EXPECT_EQ(result.error().kind, ErrorKind::NoRoom);
  EXPECT_FALSE(m.tree.exists("quake2/big"));
  EXPECT_TRUE(host.calls.empty()) << "no progress window for an install that cannot start";

  // What is already there is kept, not written again, so it needs no room.
  m.tree.write("quake2/big/a.pak", "earlier");
  EXPECT_TRUE(m.install("big", host).leftOut.empty());
  EXPECT_EQ(m.tree.read("quake2/big/b.pak"), std::string(600, 'b'));
  EXPECT_EQ(m.tree.read("quake2/big/a.pak"), "earlier");
}
