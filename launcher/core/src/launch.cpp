#include "core/launch.h"

#include <filesystem>
#include <system_error>

#include "core/files.h"
#include "core/listing.h"
#include "core/paths.h"
#include "core/util.h"

namespace fdk {

namespace fs = std::filesystem;

int DeathmatchFlags(const GameSettings& g) {
  struct Bit {
    bool on;
    int value;
  };
  const Bit bits[] = {
      {g.nohelth, 1},
      {g.nopowerups, 2},
      {g.weaponstay, 4},
      {g.nofallingdamage, 8},
      {g.inpower, 16},
      {g.SameLevel, 32},
      {g.teamsbyskin && g.TeamPlay, 64},
      {g.teamsbymodel && g.TeamPlay, 128},
      {g.nofriendlifire, 256},
      {g.spawnfarthest, 512},
      {g.forcerespawn, 1024},
      {g.noarmor, 2048},
      {!g.NoExit, 4096},  // the flag allows the exit, so it is set when NoExit is off
      {g.inammo, 8192},
      {g.quaddrop, 16384},
      {g.fixfov, 32768},
  };
  int flags = 0;
  for (const Bit& bit : bits)
    if (bit.on) flags += bit.value;
  return flags;
}

std::vector<std::string> Q1StartScriptLines(const GameSettings& g) {
  std::vector<std::string> lines;
  auto add = [&](bool on, const std::string& line) {
    if (on) lines.push_back(line);
  };
  add(g.Deathmatch, "deathmatch " + IntToText(g.Deathmatchb));
  add(g.Coop, "coop " + IntToText(g.Coopb));
  add(g.TeamPlay, "teamplay " + IntToText(g.TeamPlayb));
  add(g.NoExit, "noexit " + IntToText(g.NoExitb));
  add(!g.Pausable, "pausable 0");
  add(g.Connect, "connect " + g.Connectb);
  add(g.HostName, "hostname " + g.HostNameb);
  add(g.fraglimit, "fraglimit " + IntToText(g.fraglimitb));
  add(g.timelimit, "timelimit " + IntToText(g.timelimitb));
  add(g.SameLevel, "samelevel " + IntToText(g.SameLevelb));
  add(g.map, "map " + g.mapb);
  add(g.NoDemos, "map ");
  return lines;
}

std::vector<std::string> Q2StartScriptLines(const GameSettings& g) {
  std::vector<std::string> lines;
  auto add = [&](bool on, const std::string& line) {
    if (on) lines.push_back(line);
  };
  add(g.Deathmatch, "deathmatch " + IntToText(g.Deathmatchb));
  add(g.Coop, "coop " + IntToText(g.Coopb));
  add(g.Connect, "connect " + g.Connectb);
  add(g.HostName, "hostname " + g.HostNameb);
  add(g.fraglimit, "fraglimit " + IntToText(g.fraglimitb));
  add(g.timelimit, "timelimit " + IntToText(g.timelimitb));
  add(g.map, "map " + g.mapb);
  add(g.NoDemos, "map guer");
  lines.push_back("dmflags " + IntToText(DeathmatchFlags(g)));
  return lines;
}

bool IsPlainFolderName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find(kSep) == std::string::npos &&
         name.find('\\') == std::string::npos;
}

namespace {

const char* baseFolderOf(Game game) { return game == Game::Quake1 ? "id1/" : "baseq2/"; }
const char* gameNameOf(Game game) { return game == Game::Quake1 ? "Quake" : "Quake 2"; }

// A MOD's folder may be made by the launch (it is the player's own choice); the game
// folder and its base folder never are: a launch into a mistyped folder must not
// leave folders behind that look like a game.
std::string ensureModFolder(const std::string& folder) {
  std::error_code ec;
  fs::create_directory(folder, ec);
  return ec ? "cannot create the MOD folder " + folder + ": " + ec.message() : std::string();
}

std::string writeScript(const std::string& folder, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return writeFileAtomically(folder + "q.cfg", text);
}

std::string unsafeMod(const std::string& mod) {
  return "the MOD name \"" + mod + "\" is not a plain folder name; nothing was written";
}

}  // namespace

std::string CheckGameFolders(const Uvars& vars, Game game) {
  const std::string& path = vars.game(game).Path;
  const std::string name = gameNameOf(game);
  if (!folderExists(path))
    return "The " + name + " game folder " + path + " does not exist. Choose the game's folder in Setup.";
  const std::string base = baseFolderOf(game);
  if (!folderExists(path + base))
    return "The " + name + " game folder " + path + " has no \"" + base + "\" folder. Is it the right folder?";
  return {};
}

std::string WriteQ1StartScript(const Uvars& vars) {
  const std::string& path = vars.q1.Path;
  if (!vars.q1mod.empty() && !IsPlainFolderName(vars.q1mod)) return unsafeMod(vars.q1mod);
  removeFile(path + "id1/q.cfg");
  if (!vars.q1mod.empty()) removeFile(path + vars.q1mod + "/q.cfg");
  if (vars.q1mod.empty()) return writeScript(path + "id1/", Q1StartScriptLines(vars.q1));
  const std::string folder = path + vars.q1mod + "/";
  if (std::string error = ensureModFolder(folder); !error.empty()) return error;
  return writeScript(folder, Q1StartScriptLines(vars.q1));
}

std::string WriteQ2StartScript(const Uvars& vars) {
  const std::string& path = vars.q2.Path;
  removeFile(path + "baseq2/q.cfg");
  if (IsPlainFolderName(vars.q2mod)) removeFile(path + vars.q2mod + "/q.cfg");
  return writeScript(path + "baseq2/", Q2StartScriptLines(vars.q2));
}

std::vector<std::string> ConfigSetFiles(const GameSettings& g) {
  if (g.ACFG.empty() || !IsPlainFolderName(g.ACFG)) return {};
  return ListFolder(withTrailingSep(g.CFG) + g.ACFG + "/", "*", {EntryKind::Files, true});
}

namespace {

// Copies every file of the set into each target folder, replacing what is there.
// Only plain files of the set's own folder are copied, and a link found in the game
// is replaced rather than written through, so nothing outside either folder is read
// or changed.
std::vector<std::string> copySet(const GameSettings& g, const std::vector<std::string>& targets) {
  if (g.ACFG.empty()) return {};
  if (!IsPlainFolderName(g.ACFG))
    return {"the config set name \"" + g.ACFG + "\" is not a plain folder name; nothing was copied"};
  std::vector<std::string> failed;
  const std::string source = withTrailingSep(g.CFG) + g.ACFG + "/";
  for (const std::string& name : ConfigSetFiles(g)) {
    for (const std::string& target : targets)
      if (std::string error = copyFileReplacing(source + name, target + name); !error.empty())
        failed.push_back(error);
  }
  return failed;
}

std::vector<std::string> targetsFor(const GameSettings& g, Game game, const std::string& mod) {
  std::vector<std::string> targets{g.Path + baseFolderOf(game)};
  if (IsPlainFolderName(mod)) targets.push_back(g.Path + mod + "/");
  return targets;
}

std::vector<std::string> copySetInto(const Uvars& vars, Game game, const std::string& mod) {
  const GameSettings& g = vars.game(game);
  if (g.ACFG.empty()) return {};
  if (IsPlainFolderName(mod))
    if (std::string error = ensureModFolder(g.Path + mod + "/"); !error.empty()) return {error};
  return copySet(g, targetsFor(g, game, mod));
}

}  // namespace

std::vector<std::string> CopyQ1ConfigSet(const Uvars& vars) { return copySetInto(vars, Game::Quake1, vars.q1mod); }

std::vector<std::string> CopyQ2ConfigSet(const Uvars& vars) { return copySetInto(vars, Game::Quake2, vars.q2mod); }

std::vector<std::string> ConfigSetChoices(const GameSettings& g) {
  std::vector<std::string> items{kNoneItem};
  for (std::string& name : ListFolder(withTrailingSep(g.CFG), "*", {EntryKind::Any, true})) items.push_back(std::move(name));
  return items;
}

std::string Q1CommandLine(const Uvars& vars) {
  const GameSettings& g = vars.q1;
  std::string line = g.EXE;
  if (!vars.q1mod.empty()) line += " -game " + vars.q1mod;
  if (g.NoJoy) line += " -nojoy";
  if (g.Listen) line += " -listen " + IntToText(g.Listenb);
  if (g.Dedicated) line += " -dedicated " + IntToText(g.Dedicatedb);
  if (g.WinMem) line += " -winmem " + IntToText(g.WinMemb);
  if (g.Nocdaudio) line += " -nocdaudio";
  if (g.NoSound) line += " -nosound";
  line += " +exec q.cfg " + g.CmdLine;
  return line;
}

std::string Q2CommandLine(const Uvars& vars, const std::string& modGameFolder) {
  const GameSettings& g = vars.q2;
  std::string line = g.EXE;
  if (g.Dedicated) line += " +set dedicated " + IntToText(g.Dedicatedb);
  if (!vars.q2mod.empty()) line += " +set game " + modGameFolder;
  line += " +exec q.cfg " + g.CmdLine;
  if (g.cddir) line += " +set cddir " + g.cddirb;
  return line;
}

std::string TerminatorCommandLine(const Uvars& vars) {
  const std::string term = vars.programFolder + "term";
  if (!fileExists(term)) return {};
  // Quoted, so that a program folder with blanks still names one program.
  return "\"" + term + "\" " + std::string(1, vars.launchgame);
}

}  // namespace fdk
