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
void append(Rig& rig, const std::string& path) { WriteFile(rig.root + path, "played " + rig.dir.read("quake2/" + path)); }

TEST(FinishRecord, EachChangeIsUndoneOnlyWhileTheFolderShowsWhatTheLaunchLeft) {
  const Row rows[] = {
      {"made file, unchanged", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "map"); }, nothing, kMap, {}},
      {"made file, changed by the game", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "map"); },
       [](Rig& r) { append(r, kMap); }, kMap, "played map"},
      {"made file, removed by the game", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "map"); },
       [](Rig& r) { fs::remove(r.root + kMap); }, kMap, {}},
      {"made file interrupted, game never ran", [](Launch& l) { l.folder("baseq2/maps").file(kMap, "ma", false); },
       nothing, kMap, {}},
      {"made file interrupted, game ran",
       [](Launch& l) { l.folder("baseq2/maps").file(kMap, "ma", false).started(); }, nothing, kMap, "ma"},
      {"replaced file, unchanged", [](Launch& l) { l.replace(kConfig, "exec set.cfg"); }, nothing, kConfig,
       "bind x jump"},
      {"replaced file, changed by the game", [](Launch& l) { l.replace(kConfig, "exec set.cfg").started(); },
       [](Rig& r) { append(r, kConfig); }, kConfig, "played exec set.cfg", 1},
      {"replaced file, put back already", [](Launch& l) { putBackByHand(l.replace(kConfig, "exec set.cfg")); },
       nothing, kConfig, "bind x jump"},
      {"replaced file interrupted, game never ran", [](Launch& l) { l.replace(kConfig, "exec s", false); }, nothing,
       kConfig, "bind x jump"},
      {"replaced file interrupted, game ran", [](Launch& l) { l.replace(kConfig, "exec s", false).started(); },
       nothing, kConfig, "exec s", 1},
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
