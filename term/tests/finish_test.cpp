// Finishing one launch record: every kind of change against what the game
// folder shows afterwards, damaged and foreign records, links, and a run
// stopped after any of its steps.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>

#include "term/core/finish.h"
#include "term/core/gamefolder.h"
#include "term/core/records.h"
#include "term/core/termrun.h"
#include "termtesting.h"

using namespace fdk;
using namespace fdk::termtest;
namespace fs = std::filesystem;

namespace {

int runTerm(const Rig& rig, TermOptions::Mode mode, std::string* printed = nullptr) {
  TermOptions options;
  options.mode = mode;
  options.game = '2';
  std::ostringstream out, err;
  const int code = RunTerm(options, rig.program, out, err);
  if (printed != nullptr) *printed = out.str();
  return code;
}

std::vector<std::string> keptCopies(const Rig& rig) {
  std::vector<std::string> names;
  if (fs::exists(rig.records + "kept"))
    for (const auto& entry : fs::directory_iterator(rig.records + "kept")) names.push_back(entry.path().filename());
  return names;
}

const std::string kConfig = "baseq2/config.cfg";
const std::string kMap = "baseq2/maps/q2dm1.bsp";

struct Row {
  const char* what;
  std::function<void(Launch&)> launch;  // the launch's changes
  std::function<void(Rig&)> play;       // what the game or the player did after
  std::string path;                     // the path looked at afterwards
  std::optional<std::string> expected;  // its content then; none: absent
  std::size_t keptCopies = 0;           // saved copies kept for the player
};

void nothing(Rig&) {}

// What a finishing run stopped right after putting the last change back leaves.
void putBackByHand(Launch& l) {
  const RecordedChange& change = l.record().changes.back();
  const std::string path = l.record().root + change.path;
  WriteFile(path, "bind x jump");
  const timespec times[2] = {{0, UTIME_OMIT}, {change.before.seconds, change.before.nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}
void append(Rig& rig, const std::string& path) {
  WriteFile(rig.root + path, "played " + rig.dir.read("quake2/" + path));
}

TEST(FinishRecord, EachChangeIsUndoneOnlyWhileTheFolderShowsWhatTheLaunchLeft) {
  const Row rows[] = {
      {"made file, unchanged", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "map"); }, nothing, kMap, {}},
      {"made file, changed by the game", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "map"); },
       [](Rig& r) { append(r, kMap); }, kMap, "played map"},
      {"made file, removed by the game",
       [](Launch& l) { l.folder("baseq2/maps").file(kMap, "map"); },
       [](Rig& r) { fs::remove(r.root + kMap); },
       kMap,
       {}},
      {"made file interrupted, game never ran",
       [](Launch& l) { l.folder("baseq2/maps").file(kMap, "ma", false); },
       nothing,
       kMap,
       {}},
      {"made file interrupted, game ran", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "ma", false).started(); },
       nothing, kMap, "ma"},
      {"replaced file, unchanged", [](Launch& l) { l.replace(kConfig, "exec set.cfg"); }, nothing, kConfig,
       "bind x jump"},
      {"replaced file, changed by the game", [](Launch& l) { l.replace(kConfig, "exec set.cfg").started(); },
       [](Rig& r) { append(r, kConfig); }, kConfig, "played exec set.cfg", 1},
      {"replaced file, put back already", [](Launch& l) { putBackByHand(l.replace(kConfig, "exec set.cfg")); }, nothing,
       kConfig, "bind x jump"},
      {"replaced file interrupted, game never ran", [](Launch& l) { l.replace(kConfig, "exec s", false); }, nothing,
       kConfig, "bind x jump"},
      {"replaced file interrupted, game ran", [](Launch& l) { l.replace(kConfig, "exec s", false).started(); }, nothing,
       kConfig, "exec s", 1},
      {"removed file, still absent", [](Launch& l) { l.remove(kConfig); }, nothing, kConfig, "bind x jump"},
      {"removed file, the game made another", [](Launch& l) { l.remove(kConfig).started(); },
       [](Rig& r) { WriteFile(r.root + kConfig, "new"); }, kConfig, "new", 1},
      {"made folder, empty", [](Launch& l) { l.folder("mymod").folder("mymod/maps"); }, nothing, "mymod", {}},
      {"made folder, holds a save", [](Launch& l) { l.folder("mymod").folder("mymod/maps"); },
       [](Rig& r) { WriteFile(r.root + "mymod/save/s1.sav", "s"); }, "mymod/save/s1.sav", "s"},
  };
  for (const Row& row : rows) {
    Rig rig;
    Launch launch(rig, 1);
    row.launch(launch);
    launch.write();
    row.play(rig);
    EXPECT_EQ(runTerm(rig, TermOptions::Mode::Game), 0) << row.what << "\n" << rig.log();
    const std::string at = rig.root + row.path;
    if (row.expected) {
      EXPECT_EQ(fs::exists(at) ? rig.dir.read("quake2/" + row.path) : "(absent)", *row.expected) << row.what;
    } else {
      EXPECT_FALSE(fs::exists(at)) << row.what;
    }
    EXPECT_EQ(keptCopies(rig).size(), row.keptCopies) << row.what;
    EXPECT_FALSE(fs::exists(launch.path())) << row.what;
    EXPECT_FALSE(fs::exists(rig.records + launch.id() + ".saved")) << row.what;
    EXPECT_EQ(rig.dir.read("quake2/baseq2/pak0.pak"), "pak0") << row.what;
  }
}

}  // namespace

namespace {

TEST(FinishRecord, PutsBackAFileWithItsEarlierTime) {
  Rig rig;
  const FileStamp before = StampAt(rig.root + kConfig);
  Launch(rig, 1).replace(kConfig, "exec set.cfg").write();
  EXPECT_EQ(runTerm(rig, TermOptions::Mode::Game), 0);
  EXPECT_EQ(StampAt(rig.root + kConfig), before);
}

// The player's own link, replaced by a config set's file, comes back as the
// same link; what it points at is never read or written.
TEST(FinishRecord, PutsBackALinkTheLaunchReplaced) {
  Rig rig;
  WriteFile(rig.dir.folder() + "elsewhere/autoexec.cfg", "the player's own");
  const std::string link = rig.root + "baseq2/autoexec.cfg";
  fs::create_symlink(rig.dir.folder() + "elsewhere/autoexec.cfg", link);
  const FileStamp before = StampAt(link);
  Launch launch(rig, 1);
  fs::create_directories(rig.records + launch.id() + ".saved");
  fs::copy_symlink(link, rig.records + launch.id() + ".saved/1");
  fs::remove(link);
  WriteFile(link, "exec set.cfg");
  launch.record().changes.push_back({RecordedChange::Kind::Replace, "baseq2/autoexec.cfg", "1", before, StampAt(link)});
  launch.write();
  EXPECT_EQ(runTerm(rig, TermOptions::Mode::Game), 0);
  ASSERT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::read_symlink(link), rig.dir.folder() + "elsewhere/autoexec.cfg");
  EXPECT_EQ(StampAt(link), before);
  EXPECT_EQ(rig.dir.read("elsewhere/autoexec.cfg"), "the player's own");
  EXPECT_TRUE(keptCopies(rig).empty());
}

TEST(FinishRecord, RecordsThatCannotBeActedOnAreSetAsideUntouched) {
  struct Case {
    const char* what;
    std::function<std::string(Rig&, Launch&)> spoil;  // returns what the log names
  };
  const Case cases[] = {
      {"damaged",
       [](Rig&, Launch& l) {
         WriteFile(l.path(), "fragdock launch record 1\ngame\t2\nroot\t/x/\nfolder-id\t1\n");
         return std::string("damaged");
       }},
      {"a path leaving the folder",
       [](Rig&, Launch& l) {
         std::string text = FormatRecord(l.record());
         WriteFile(l.path(), text + "file\t../outside.txt\n");
         return std::string("does not stay below");
       }},
      {"its folder is gone",
       [](Rig& r, Launch&) {
         fs::rename(r.root, r.dir.folder() + "moved");
         return std::string("is gone");
       }},
      {"its folder is another folder now",
       [](Rig& r, Launch&) {
         fs::rename(r.root, r.dir.folder() + "moved");
         fs::create_directory(r.root);
         return std::string("another folder now");
       }},
  };
  for (const Case& c : cases) {
    Rig rig;
    WriteFile(rig.dir.folder() + "outside.txt", "o");
    Launch launch(rig, 1);
    launch.file("mine.pak", "m").replace(kConfig, "exec s").write();
    const std::string named = c.spoil(rig, launch);
    const auto moved = fs::exists(rig.dir.folder() + "moved") ? FolderContents(rig.dir.folder() + "moved") : FolderContents(rig.root);
    EXPECT_EQ(runTerm(rig, TermOptions::Mode::Game), 0) << c.what;
    EXPECT_TRUE(fs::exists(launch.path() + ".bad")) << c.what;
    EXPECT_TRUE(fs::exists(rig.records + launch.id() + ".saved/1")) << c.what;
    EXPECT_EQ(fs::exists(rig.dir.folder() + "moved") ? FolderContents(rig.dir.folder() + "moved") : FolderContents(rig.root), moved)
        << c.what;
    EXPECT_EQ(rig.dir.read("outside.txt"), "o") << c.what;
    EXPECT_NE(rig.log().find("set aside 1 record (" + launch.path() + ".bad: "), std::string::npos) << rig.log();
    EXPECT_NE(rig.log().find(named), std::string::npos) << c.what << ": " << rig.log();
  }
}

TEST(FinishRecord, NeverFollowsALinkInsideTheGameFolder) {
  Rig rig;
  const std::string outside = rig.dir.folder() + "outside/";
  WriteFile(outside + "secret.txt", "secret");
  Launch launch(rig, 1);
  launch.folder("mod").file("mod/pak0.pak", "p").file("mod/linked.txt", "l");
  // After the launch, links take the place of what it made: stamps that would
  // match were the links followed.
  fs::remove(rig.root + "mod/linked.txt");
  fs::create_symlink(outside + "secret.txt", rig.root + "mod/linked.txt");
  launch.record().changes.push_back(
      {RecordedChange::Kind::File, "via/secret.txt", {}, {}, StampAt(outside + "secret.txt")});
  fs::create_directory_symlink(outside, rig.root + "via");
  launch.write();
  EXPECT_EQ(runTerm(rig, TermOptions::Mode::Game), 0);
  EXPECT_EQ(rig.dir.read("outside/secret.txt"), "secret");
  EXPECT_TRUE(fs::is_symlink(rig.root + "mod/linked.txt"));
  EXPECT_TRUE(fs::is_symlink(rig.root + "via"));
  EXPECT_FALSE(fs::exists(rig.root + "mod/pak0.pak"));
  EXPECT_NE(rig.log().find("left 2 links or other entries alone"), std::string::npos) << rig.log();
}

// A run killed after its first k steps has undone exactly the last k changes:
// a run over the whole record afterwards must end where one run ends.
TEST(FinishRecord, ARunStoppedAfterAnyStepIsFinishedByTheNextToTheSameFolder) {
  auto launchInto = [](Rig& rig) {
    Launch launch(rig, 1);
    launch.folder("mod").folder("mod/maps").file("mod/maps/a.bsp", "a").replace(kConfig, "exec s");
    launch.file("mod/maps/b.bsp", "b").remove("baseq2/pak0.pak").file("mod/pak0.pak", "p");
    launch.write();
    return launch;
  };
  Rig once;
  launchInto(once);
  ASSERT_EQ(runTerm(once, TermOptions::Mode::Game), 0);
  const auto expected = FolderContents(once.root);
  for (std::size_t k = 0; k <= 7; ++k) {
    Rig rig;
    Launch launch = launchInto(rig);
    LaunchRecord tail = launch.record();
    tail.changes.erase(tail.changes.begin(), tail.changes.end() - static_cast<std::ptrdiff_t>(k));
    Result<GameFolder> folder = GameFolder::Open(rig.root);
    ASSERT_TRUE(folder.ok());
    FinishChanges(tail, *folder, SavedCopies{rig.records + launch.id() + ".saved/", rig.records + "kept/", ""});
    if (k == 7) fs::remove_all(rig.records + launch.id() + ".saved");  // stopped before the record went
    EXPECT_EQ(runTerm(rig, TermOptions::Mode::Game), 0) << k << rig.log();
    EXPECT_EQ(FolderContents(rig.root), expected) << "stopped after " << k << " steps";
    EXPECT_EQ(RecordFolder(rig.records).List(), std::vector<std::string>{}) << k;
  }
}

TEST(FinishRecord, DryRunTellsEachStepAndChangesNothing) {
  Rig rig;
  Launch first(rig, 1);
  first.folder("mod").file("mod/pak0.pak", "p").replace(kConfig, "exec s").write();
  Launch(rig, 2).replace(kConfig, "exec the second").write();
  const auto before = FolderContents(rig.root);
  std::string printed;
  EXPECT_EQ(runTerm(rig, TermOptions::Mode::DryRun, &printed), 0);
  // The first launch's config is told as it will be once the second's is put back.
  EXPECT_EQ(printed, "put back " + rig.root + kConfig + "\nput back " + rig.root + kConfig + "\nremove " + rig.root +
                         "mod/pak0.pak\nremove folder " + rig.root + "mod/ when empty\n");
  EXPECT_EQ(FolderContents(rig.root), before);
  EXPECT_EQ(RecordFolder(rig.records).List().size(), 2u);
  EXPECT_NE(rig.log().find("dry run, would have finished 2 records"), std::string::npos) << rig.log();
}

}  // namespace
