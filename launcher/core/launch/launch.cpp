#include "core/launch/launch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/files.h"
#include "core/launch/engines.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"

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


namespace {

// A MOD's folder may be made by the launch (it is the player's own choice); the game
// folder and its base folder never are: a launch into a mistyped folder must not
// leave folders behind that look like a game.
Status ensureModFolder(const std::string& folder, ChangeRecorder* recorder) {
  if (recorder != nullptr && !entryExists(folder))
    if (Status told = recorder->BeforeFolder(folder); !told)
      return explained("cannot create the MOD folder " + folder + ": ", told.error());
  std::error_code ec;
  fs::create_directory(folder, ec);
  if (ec) return Error{"cannot create the MOD folder " + folder + ": " + ec.message()};
  return {};
}

Status writeScript(const std::string& folder, const std::vector<std::string>& lines, ChangeRecorder* recorder) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  const std::string path = folder + "q.cfg";
  return RecordedWrite(recorder, path, [&] { return writeFileAtomically(path, text); });
}

// A script that cannot be removed stays (the new one replaces it where it is
// written anyway); one whose removal the recorder refuses is not removed.
Status removeScript(const std::string& path, ChangeRecorder* recorder) {
  if (recorder != nullptr)
    if (Status told = recorder->BeforeRemove(path); !told) return told;
  removeFile(path);
  return {};
}

std::vector<std::string> startScriptLines(const Uvars& vars, Game game) {
  return game == Game::Quake1 ? Q1StartScriptLines(vars.q1) : Q2StartScriptLines(vars.q2);
}

}  // namespace

Status CheckGameFolders(const Uvars& vars, Game game) {
  const GameTraits& t = TraitsOf(game);
  const std::string& path = vars.game(game).Path;
  if (!folderExists(path))
    return Error{ErrorKind::Missing, "The " + std::string(t.name) + " game folder " + path +
                 " does not exist. Choose the game's folder in Setup."};
  if (!folderExists(path + t.baseFolder))
    return Error{ErrorKind::Missing, "The " + std::string(t.name) + " game folder " + path + " has no \"" + t.baseFolder +
                 "\" folder. Is it the right folder?"};
  return {};
}

Status WriteStartScript(const Uvars& vars, Game game, ChangeRecorder* recorder) {
  const GameTraits& t = TraitsOf(game);
  const std::string& path = vars.game(game).Path;
  const std::string& mod = ChosenMod(vars, game);
  if (!mod.empty() && !IsPlainFolderName(mod))
    return Error{ErrorKind::Unsafe, "the MOD name \"" + mod + "\" is not a plain folder name; nothing was written"};
  if (Status removed = removeScript(path + t.baseFolder + "q.cfg", recorder); !removed) return removed;
  if (!mod.empty())
    if (Status removed = removeScript(path + mod + "/q.cfg", recorder); !removed) return removed;
  if (mod.empty() || !t.scriptInModFolder)
    return writeScript(path + t.baseFolder, startScriptLines(vars, game), recorder);
  if (Status made = ensureModFolder(path + mod + "/", recorder); !made) return made;
  return writeScript(path + mod + "/", startScriptLines(vars, game), recorder);
}

std::vector<std::string> ConfigSetFiles(const GameSettings& g) {
  if (g.ACFG.empty() || !IsPlainFolderName(g.ACFG)) return {};
  return ListFolder(withTrailingSep(g.CFG) + g.ACFG + "/", "*", {EntryKind::Files, true});
}

// Only plain files of the set's own folder are copied, and a link found in the game
// is replaced rather than written through, so nothing outside either folder is read
// or changed.
Report CopyConfigSet(const Uvars& vars, Game game, ChangeRecorder* recorder) {
  const GameSettings& g = vars.game(game);
  const std::string& mod = ChosenMod(vars, game);
  Report report;
  if (g.ACFG.empty()) return report;
  if (!IsPlainFolderName(g.ACFG)) {
    report.skip("config set \"" + g.ACFG + "\"", "not a plain folder name; nothing was copied");
    return report;
  }
  std::vector<std::string> targets{g.Path + TraitsOf(game).baseFolder};
  if (IsPlainFolderName(mod)) {
    if (Status made = ensureModFolder(g.Path + mod + "/", recorder); !made) report.skip(mod, made.error().text);
    else targets.push_back(g.Path + mod + "/");
  }
  const std::string source = withTrailingSep(g.CFG) + g.ACFG + "/";
  for (const std::string& name : ConfigSetFiles(g))
    for (const std::string& target : targets)
      if (Status copied = RecordedWrite(recorder, target + name,
                                        [&] { return copyFileReplacing(source + name, target + name); });
          !copied)
        report.skip(name, copied.error().text);
  return report;
}

std::vector<std::string> ConfigSetChoices(const GameSettings& g) {
  std::vector<std::string> items{kNoneItem};
  for (std::string& name : ListFolder(withTrailingSep(g.CFG), "*", {EntryKind::Any, true}))
    items.push_back(std::move(name));
  return items;
}

namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }
bool isQuote(char c) { return c == '"' || c == '\''; }

bool holdsAny(std::string_view name, bool (*is)(char)) { return std::any_of(name.begin(), name.end(), is); }

// The games read "+" as the start of a console command anywhere in their
// arguments and ";" as the end of one.
bool isCommandMark(char c) { return c == '+' || c == ';'; }

// A name as the player can read it in a message: control characters as \xNN.
std::string shown(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (!isControl(c)) {
      out += c;
      continue;
    }
    const char* digits = "0123456789ABCDEF";
    out += "\\x";
    out += digits[static_cast<unsigned char>(c) >> 4];
    out += digits[c & 0xF];
  }
  return out;
}

// Why a name cannot go on the command line as it is; nullptr when it can.
const char* flawOf(std::string_view name, bool fromArchive) {
  if (holdsAny(name, isQuote)) return "holds a quote";
  if (holdsAny(name, isControl)) return "holds a line end or another control character";
  if (fromArchive && holdsAny(name, isCommandMark)) return "holds a \"+\" or \";\", which the game reads as a command";
  return nullptr;
}

Status checkSetting(const std::string& value, const char* what, Game game) {
  const char* flaw = flawOf(value, false);
  if (flaw == nullptr) return {};
  return Error{ErrorKind::Unsafe, "The game was not started: the " + std::string(TraitsOf(game).name) + " " + what + " \"" + shown(value) +
               "\" " + flaw + ". Correct it and start again."};
}

bool isBaseArgument(std::string_view value) {
  const auto choices = BaseArgumentChoices();
  return std::find(choices.begin(), choices.end(), value) != choices.end();
}

// The engine is told the game folder right after its name; without the setting
// the line is the classic one, the game started in its folder.
std::string baseArgumentWords(const GameSettings& g) {
  if (g.BaseArg.empty() || !isBaseArgument(g.BaseArg)) return {};
  std::string_view folder = g.Path;
  while (folder.size() > 1 && folder.back() == kSep) folder.remove_suffix(1);
  return " " + g.BaseArg + " " + CommandWord(folder);
}

}  // namespace

std::string QuoteWord(std::string_view name) {
  // Inside double quotes only a double quote is special, and SplitCommandLine
  // has no escape for it: the quoted run is closed, the quote given in single
  // quotes, and the run opened again; the pieces join into one word.
  std::string word = "\"";
  for (char c : name) word += c == '"' ? std::string("\"'\"'\"") : std::string(1, c);
  return word + "\"";
}

std::string CommandWord(std::string_view name) {
  const bool plain = std::none_of(name.begin(), name.end(),
                                  [](char c) { return c == ' ' || isQuote(c) || isControl(c); });
  return plain ? std::string(name) : QuoteWord(name);
}

Status CheckCommandLineNames(const Uvars& vars, Game game, std::string_view modGameFolder) {
  const std::string& mod = ChosenMod(vars, game);
  if (const char* flaw = flawOf(mod, true))
    return Error{ErrorKind::Unsafe, "The game was not started: the name of the MOD \"" + shown(mod) + "\" " + flaw + "."};
  if (const char* flaw = flawOf(modGameFolder, true))
    return Error{ErrorKind::Unsafe, "The game was not started: the archive of the MOD \"" + shown(mod) + "\" names the game folder \"" +
                 shown(modGameFolder) + "\", which " + flaw + "."};
  const GameSettings& g = vars.game(game);
  if (Status exe = checkSetting(g.EXE, "program name", game); !exe) return exe;
  if (!g.BaseArg.empty()) {
    if (!isBaseArgument(g.BaseArg))
      return Error{ErrorKind::Unsafe, "The game was not started: the " + std::string(TraitsOf(game).name) +
                                          " base argument \"" + shown(g.BaseArg) +
                                          "\" is none of -basedir and -datadir. Choose it in Setup and start again."};
    if (Status folder = checkSetting(g.Path, "game folder", game); !folder) return folder;
  }
  if (game == Game::Quake2 && g.cddir) return checkSetting(g.cddirb, "CD folder", game);
  return {};
}

std::string Q1CommandLine(const Uvars& vars) {
  const GameSettings& g = vars.q1;
  std::string line = CommandWord(g.EXE) + baseArgumentWords(g);
  if (!vars.q1mod.empty()) line += " -game " + CommandWord(vars.q1mod);
  if (g.NoJoy) line += " -nojoy";
  if (g.Listen) line += " -listen " + IntToText(g.Listenb);
  if (g.Dedicated) line += " -dedicated " + IntToText(g.Dedicatedb);
  if (g.WinMem) line += " -winmem " + IntToText(g.WinMemb);
  if (g.Nocdaudio) line += " -nocdaudio";
  if (g.NoSound) line += " -nosound";
  line += " +exec q.cfg " + g.CmdLine;
  return line;
}

std::string Q2CommandLine(const Uvars& vars) {
  const GameSettings& g = vars.q2;
  std::string line = CommandWord(g.EXE) + baseArgumentWords(g);
  if (g.Dedicated) line += " +set dedicated " + IntToText(g.Dedicatedb);
  // A MOD whose files all went below "baseq2/" runs from there: no game folder is
  // named, since an empty one would take the next word of the line as its name.
  if (!vars.q2mod.empty() && !vars.modGameFolder.empty()) line += " +set game " + CommandWord(vars.modGameFolder);
  line += " +exec q.cfg " + g.CmdLine;
  if (g.cddir) line += " +set cddir " + CommandWord(g.cddirb);
  return line;
}

std::string CommandLine(const Uvars& vars, Game game) {
  return game == Game::Quake1 ? Q1CommandLine(vars) : Q2CommandLine(vars);
}

std::string TerminatorPath(const Uvars& vars) { return vars.programFolder + "term"; }

std::string TerminatorCommandLine(const Uvars& vars, const std::string& recordPath) {
  const std::string term = TerminatorPath(vars);
  if (!fileExists(term)) return {};
  // Quoted, so that a program folder with blanks still names one program.
  return QuoteWord(term) + " --record " + QuoteWord(recordPath);
}

}  // namespace fdk
