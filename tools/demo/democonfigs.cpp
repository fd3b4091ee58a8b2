// Config sets for the player editors: Quake 2 scripts with "set name" and
// "set skin" lines (the skin naming the demo model "scout"), Quake scripts with
// "_cl_name" lines, and in each game a set with a script in a sub-folder.
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "demoparts.h"

namespace demo {

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;  // name below the CFG folder, contents

bool writeFiles(const std::string& folder, const Files& files) {
  bool ok = true;
  for (const auto& [name, bytes] : files) {
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ok = static_cast<bool>(out) && ok;
  }
  return ok;
}

const Files kQuake2Sets = {
    {"player/config.cfg",
     "// The demo player: the editor takes the name and skin lines into its fields.\r\n"
     "set name \"Demo Scout\"\r\n"
     "set skin \"scout/red\"\r\n"
     "set hand 0\r\n"
     "bind MOUSE1 +attack\r\n"
     "bind SPACE +moveup\r\n"},
    {"player/autoexec.cfg", "set cl_run 1\r\nbind TAB inven\r\n"},
    // Found by the editor below the set's folder and saved where it lies.
    {"player/team/blue.cfg", "set name \"Blue Scout\"\r\nset skin \"scout/blue\"\r\nset spectator 0\r\n"},
};

const Files kQuakeSets = {
    {"player/config.cfg",
     "// The demo player: the editor takes the _cl_name line into its name field.\r\n"
     "_cl_name \"Demo Ranger\"\r\n"
     "color 4 12\r\n"
     "bind MOUSE1 +attack\r\n"},
    {"player/team/red.cfg", "_cl_name \"Red Ranger\"\r\ncolor 4 4\r\n"},
    // A QuakeWorld script: "name" lines are taken into the field as well.
    {"qw/config.cfg", "name \"qwplayer\"\r\nteam red\r\nrate 2500\r\n"},
};

}  // namespace

bool writeConfigSets(const std::string& q1Cfgs, const std::string& q2Cfgs) {
  const bool quake = writeFiles(q1Cfgs, kQuakeSets);
  return writeFiles(q2Cfgs, kQuake2Sets) && quake;
}

}  // namespace demo
