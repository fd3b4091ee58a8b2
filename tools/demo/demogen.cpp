// Lays out the demo game tree and points a new "Fragdock.ini" of the program
// folder into it. Everything is made here; no real game data is used.
//
// Usage: fragdock_demogen <program folder> <demo folder> <stand-in game>
//
// Files of the tree are rewritten on every run; an existing "Fragdock.ini" is the
// user's and is never touched.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "core/paths.h"
#include "core/settings.h"
#include "modelgen/writers.h"
#include "testing/archive.h"

namespace fs = std::filesystem;

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;  // name, contents

bool writeFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

// A map file that is recognisably a stand-in: only the name matters to the launcher.
std::string fakeMap(const std::string& name) { return "IBSP demo map " + name + "\n"; }

bool writeZip(const std::string& path, const Files& files) {
  fs::create_directories(fs::path(path).parent_path());
  std::vector<fdk::ArchiveEntry> entries;
  for (const auto& [name, bytes] : files) entries.push_back({name, bytes});
  fdk::Status written = fdk::WriteArchive(path, entries);
  if (!written) std::fprintf(stderr, "fragdock_demogen: %s\n", written.error().text.c_str());
  return written.ok();
}

bool writePak(const std::string& path, const Files& files) {
  std::vector<modelgen::PakMember> members;
  for (const auto& [name, bytes] : files) members.push_back({name, modelgen::ByteVector(bytes.begin(), bytes.end())});
  modelgen::ByteVector pak = modelgen::encodePak(members);
  return writeFile(path, std::string(pak.begin(), pak.end()));
}

bool installGame(const std::string& standin, const std::string& folder, const std::string& exe) {
  fs::create_directories(folder);
  std::error_code ec;
  fs::copy_file(standin, folder + exe, fs::copy_options::overwrite_existing, ec);
  return !ec;
}

bool quakeTree(const std::string& demo, const std::string& standin) {
  const std::string game = demo + "quake/";
  bool ok = installGame(standin, game, "quake");
  ok = writePak(game + "id1/pak0.pak", {{"maps/start.bsp", fakeMap("start")},
                                         {"maps/e1m1.bsp", fakeMap("e1m1")},
                                         {"maps/dm2.bsp", fakeMap("dm2")},
                                         {"gfx/palette.lmp", std::string(768, '\x40')}}) && ok;
  ok = writeFile(game + "id1/maps/dm3.bsp", fakeMap("dm3")) && ok;
  ok = writeFile(game + "id1/config.cfg", "name \"player\"\r\nskin \"base\"\r\n") && ok;
  fs::create_directories(game + "qw/skins");

  const std::string add = demo + "q1/";
  ok = writeFile(add + "mods/ctf.txt", "Capture the Flag\r\nTwo teams, two flags, one goal.\r\n") && ok;
  ok = writeFile(add + "mods/ctf.wat", "Capture the Flag (team notes)\r\nGrab the flag, bring it home.\r\n") && ok;
  ok = writeZip(add + "mods/ctf.zip", {{"ctf/progs.dat", "demo progs"}, {"ctf/ctf.cfg", "teamplay 1\r\n"}}) && ok;
  ok = writeFile(add + "mods/zeusbots.txt", "ZeusBots\r\nBots to frag when nobody is online.\r\n") && ok;
  ok = writeZip(add + "mods/zeusbots.zip", {{"zeusbots/progs.dat", "demo bots"}}) && ok;
  ok = writeZip(add + "maps/dmdemo.zip", {{"maps/dmdemo.bsp", fakeMap("dmdemo")}, {"dmdemo.txt", "A demo arena.\r\n"}}) &&
       ok;
  ok = writeZip(add + "maps/castle.zip", {{"maps/castle.bsp", fakeMap("castle")}}) && ok;
  fs::create_directories(add + "skins");
  ok = writeFile(add + "cfgs/default/autoexec.cfg", "bind MOUSE2 +jump\r\n") && ok;
  ok = writeFile(add + "cfgs/default/config.cfg", "name \"player\"\r\n") && ok;
  ok = writeFile(add + "cfgs/lan/config.cfg", "name \"lanplayer\"\r\nrate 25000\r\n") && ok;
  ok = writeFile(add + "cfgs/lan/notes/readme.txt", "sub-folders are not copied\r\n") && ok;
  return ok;
}

bool quake2Tree(const std::string& demo, const std::string& standin) {
  const std::string game = demo + "quake2/";
  bool ok = installGame(standin, game, "quake2");
  ok = writePak(game + "baseq2/pak0.pak", {{"maps/base1.bsp", fakeMap("base1")},
                                            {"pics/colormap.pcx", std::string(128, '\x0a')},
                                            {"maps/q2dm1.bsp", fakeMap("q2dm1")}}) && ok;
  ok = writeFile(game + "baseq2/maps/q2dm3.bsp", fakeMap("q2dm3")) && ok;
  ok = writeFile(game + "baseq2/config.cfg", "set name \"player\"\r\nset skin \"male/grunt\"\r\n") && ok;
  fs::create_directories(game + "baseq2/players");

  const std::string add = demo + "q2/";
  ok = writeFile(add + "mods/arena.txt", "Rocket Arena\r\nOne on one, everyone gets everything.\r\n") && ok;
  ok = writeZip(add + "mods/arena.zip", {{"arena/gamex86.so", "demo game"}, {"arena/arena.cfg", "set fraglimit 5\r\n"}}) &&
       ok;
  ok = writeZip(add + "maps/q2demo.zip", {{"maps/q2demo.bsp", fakeMap("q2demo")}}) && ok;
  fs::create_directories(add + "models");
  ok = writeFile(add + "cfgs/default/autoexec.cfg", "bind MOUSE2 +moveup\r\n") && ok;
  ok = writeFile(add + "cfgs/default/config.cfg", "set name \"player\"\r\n") && ok;
  return ok;
}

void pointGameAt(fdk::GameSettings& g, const std::string& game, const std::string& add, const char* exe) {
  g.Path = game;
  g.EXE = exe;
  g.Patch = add + "mods/";
  g.Maps = add + "maps/";
  g.Skins = add + (std::string(exe) == "quake" ? "skins/" : "models/");
  g.CFG = add + "cfgs/";
}

bool writeSettings(const std::string& program, const std::string& demo) {
  fdk::Uvars vars;
  vars.programFolder = program;
  if (fdk::entryExists(vars.iniPath())) return true;
  fdk::AssignDefaults(vars, fdk::DefaultRoots{fdk::homeFolder()});
  pointGameAt(vars.q1, demo + "quake/", demo + "q1/", "quake");
  pointGameAt(vars.q2, demo + "quake2/", demo + "q2/", "quake2");
  vars.q2.cddirb = demo + "quake2";
  fdk::Status saved = fdk::SaveSettings(vars);
  if (!saved) std::fprintf(stderr, "fragdock_demogen: %s\n", saved.error().text.c_str());
  return saved.ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: fragdock_demogen <program folder> <demo folder> <stand-in game>\n");
    return 2;
  }
  const std::string program = fdk::withTrailingSep(fs::absolute(argv[1]).lexically_normal().string());
  const std::string demo = fdk::withTrailingSep(fs::absolute(argv[2]).lexically_normal().string());
  const std::string standin = argv[3];
  bool ok = quakeTree(demo, standin);
  ok = quake2Tree(demo, standin) && ok;
  ok = writeSettings(program, demo) && ok;
  if (!ok) std::fprintf(stderr, "fragdock_demogen: the demo tree in %s is incomplete\n", demo.c_str());
  return ok ? 0 : 1;
}
