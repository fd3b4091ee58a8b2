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

#include "core/platform/paths.h"
#include "demoparts.h"
#include "core/store/settings.h"
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

// A preview picture as PCX: diagonal bands of the palette's colours.
bool writePcxPreview(const std::string& path, uint8_t hue) {
  modelgen::Palette palette{};
  for (size_t i = 0; i < 256; ++i) {
    palette[3 * i] = static_cast<uint8_t>((i * 3 + hue) & 0xFF);
    palette[3 * i + 1] = static_cast<uint8_t>(i / 2 + 40);
    palette[3 * i + 2] = static_cast<uint8_t>(255 - i);
  }
  std::vector<uint8_t> indices(240u * 180u);
  for (uint32_t y = 0; y < 180; ++y)
    for (uint32_t x = 0; x < 240; ++x) indices[y * 240 + x] = static_cast<uint8_t>((x + y) / 2);
  modelgen::ByteVector pcx = modelgen::encodePcx(240, 180, indices, palette);
  return writeFile(path, std::string(pcx.begin(), pcx.end()));
}

// A MOD large enough (about 40 MB) that its installation shows the progress
// window for a moment: half of it compresses well, half not at all.
bool writeLargeMod(const std::string& path) {
  std::vector<fdk::ArchiveEntry> entries;
  std::uint64_t noise = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20; ++i) {
    std::string data(1u << 20, '\0');
    for (char& c : data) {
      noise ^= noise << 13, noise ^= noise >> 7, noise ^= noise << 17;
      c = static_cast<char>(noise);
    }
    entries.push_back({"bigmod/sound/ambience" + std::to_string(i) + ".wav", data, fdk::ArchiveEntry::Kind::File, false});
    std::string text;
    while (text.size() < (1u << 20)) text += "{ \"classname\" \"light\" \"origin\" \"" + std::to_string(text.size()) + "\" }\n";
    entries.push_back({"bigmod/maps/big" + std::to_string(i) + ".ent", text});
  }
  fdk::Status written = fdk::WriteArchive(path, entries);
  if (!written) std::fprintf(stderr, "fragdock_demogen: %s\n", written.error().text.c_str());
  return written.ok();
}

std::string pakBytes(const Files& files) {
  std::vector<modelgen::PakMember> members;
  for (const auto& [name, bytes] : files) members.push_back({name, modelgen::ByteVector(bytes.begin(), bytes.end())});
  modelgen::ByteVector pak = modelgen::encodePak(members);
  return std::string(pak.begin(), pak.end());
}

bool writePak(const std::string& path, const Files& files) { return writeFile(path, pakBytes(files)); }

// More PAKs below a base folder, showing what the start-map lists make of
// them: Quake's item boxes ("b_*") are no start maps, an upper-case ".BSP" is
// not listed, a PAK in a sub-folder is found, one in a hidden folder is not.
bool writeMorePaks(const std::string& base, const std::string& prefix) {
  bool ok = writePak(base + "pak1.pak", {{"maps/b_batt0.bsp", fakeMap("b_batt0")},
                                         {"maps/b_rock1.bsp", fakeMap("b_rock1")},
                                         {"maps/" + prefix + "dm4.bsp", fakeMap(prefix + "dm4")},
                                         {"MAPS/DM1.BSP", fakeMap("DM1")},
                                         {"progs/player.mdl", "demo model"}});
  ok = writePak(base + "addons/extra.pak", {{"maps/" + prefix + "extra1.bsp", fakeMap(prefix + "extra1")},
                                            {"Maps/" + prefix + "extra2.bsp", fakeMap(prefix + "extra2")}}) &&
       ok;
  ok = writePak(base + ".backup/old.pak", {{"maps/" + prefix + "hidden.bsp", fakeMap(prefix + "hidden")}}) && ok;
  return ok;
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
  ok = writeMorePaks(game + "id1/", "") && ok;
  ok = writeFile(game + "id1/maps/dm3.bsp", fakeMap("dm3")) && ok;
  ok = writeFile(game + "id1/config.cfg", "name \"player\"\r\nskin \"base\"\r\n") && ok;
  fs::create_directories(game + "qw/skins");

  const std::string add = demo + "q1/";
  ok = writeFile(add + "mods/ctf.txt", "Capture the Flag\r\nTwo teams, two flags, one goal.\r\n") && ok;
  ok = writeFile(add + "mods/ctf.wat", "Capture the Flag (team notes)\r\nGrab the flag, bring it home.\r\n") && ok;
  // The MOD brings its maps in a PAK of its own, which the start-map list looks into.
  ok = writeZip(add + "mods/ctf.zip", {{"ctf/progs.dat", "demo progs"},
                                      {"ctf/ctf.cfg", "teamplay 1\r\n"},
                                      {"ctf/pak0.pak", pakBytes({{"maps/ctf1.bsp", fakeMap("ctf1")},
                                                                 {"maps/ctf2.bsp", fakeMap("ctf2")}})}}) &&
       ok;
  ok = writeFile(add + "mods/zeusbots.txt", "ZeusBots\r\nBots to frag when nobody is online.\r\n") && ok;
  ok = writeZip(add + "mods/zeusbots.zip", {{"zeusbots/progs.dat", "demo bots"}}) && ok;
  ok = writePcxPreview(add + "mods/zeusbot.pcx", 20) && ok;  // ZeusBots' pictures are named "zeusbot"
  // A MOD that brings its own copy of a file the game already has: installing it asks.
  ok = writeFile(add + "mods/fortress.txt", "Team Fortress\r\nClasses, flags and a config of its own.\r\n") && ok;
  ok = writeZip(add + "mods/fortress.zip", {{"fortress/progs.dat", "demo fortress"},
                                           {"id1/config.cfg", "name \"fortress player\"\r\n"}}) && ok;
  // Map archives hold their files as they lie below the game folder.
  ok = writeZip(add + "maps/dmdemo.zip", {{"id1/maps/dmdemo.bsp", fakeMap("dmdemo")}, {"dmdemo.txt", "A demo arena.\r\n"}}) &&
       ok;
  ok = writeZip(add + "maps/castle.zip", {{"id1/maps/castle.bsp", fakeMap("castle")}}) && ok;  // no description
  fs::create_directories(add + "skins");
  ok = demo::writeSkins(add + "skins/") && ok;
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
  ok = writeMorePaks(game + "baseq2/", "q2") && ok;
  ok = writeFile(game + "baseq2/maps/q2dm3.bsp", fakeMap("q2dm3")) && ok;
  ok = writeFile(game + "baseq2/config.cfg", "set name \"player\"\r\nset skin \"male/grunt\"\r\n") && ok;
  fs::create_directories(game + "baseq2/players");

  const std::string add = demo + "q2/";
  ok = writeFile(add + "mods/arena.txt", "Rocket Arena\r\nOne on one, everyone gets everything.\r\n") && ok;
  ok = writeZip(add + "mods/arena.zip", {{"arena/gamex86.so", "demo game"}, {"arena/arena.cfg", "set fraglimit 5\r\n"}}) &&
       ok;
  // A description whose name differs from the map's in letter case.
  ok = writeZip(add + "maps/q2demo.zip", {{"baseq2/maps/q2demo.bsp", fakeMap("q2demo")},
                                         {"docs/Q2DEMO.TXT", "Q2 Demo\r\nA small arena with a lift and a rail.\r\n"}}) &&
       ok;
  ok = writeZip(add + "maps/q2tiny.zip", {{"baseq2/maps/q2tiny.bsp", fakeMap("q2tiny")}}) && ok;
  // Only maps, below baseq2/: it runs from no folder of its own.
  ok = writeFile(add + "mods/mappack.txt", "Map Pack\r\nTwo arenas for the base game.\r\n") && ok;
  ok = writeZip(add + "mods/mappack.zip", {{"baseq2/maps/mp1.bsp", fakeMap("mp1")},
                                          {"baseq2/maps/mp2.bsp", fakeMap("mp2")}}) && ok;
  // A MOD whose archive also holds a map the game already has.
  ok = writeFile(add + "mods/q2ctf.txt", "Quake 2 CTF\r\nFlags, grapple and a map you may have.\r\n") && ok;
  ok = writeZip(add + "mods/q2ctf.zip", {{"ctf/gamex86.so", "demo ctf game"},
                                        {"ctf/pak0.pak", pakBytes({{"maps/q2ctf1.bsp", fakeMap("q2ctf1")}})},
                                        {"baseq2/maps/q2dm3.bsp", fakeMap("q2dm3 from ctf")}}) && ok;
  ok = writeFile(add + "mods/bigmod.txt", "Big MOD\r\nSounds and entities, about 40 MB.\r\n") && ok;
  ok = writePcxPreview(add + "mods/bigmod.pcx", 140) && ok;
  ok = writeLargeMod(add + "mods/bigmod.zip") && ok;
  fs::create_directories(add + "models");
  ok = demo::writeModels(add + "models/", game) && ok;
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
  ok = demo::writeConfigSets(demo + "q1/cfgs/", demo + "q2/cfgs/") && ok;
  ok = writeSettings(program, demo) && ok;
  if (!ok) std::fprintf(stderr, "fragdock_demogen: the demo tree in %s is incomplete\n", demo.c_str());
  return ok ? 0 : 1;
}
