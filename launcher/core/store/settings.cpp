#include "core/store/settings.h"

#include <cstdint>
#include <variant>

#include "base/files.h"
#include "core/store/ini.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

constexpr const char* kAppSection = "Fragdock";
constexpr const char* kQ1Section = "Quake 1";
constexpr const char* kQ2Section = "Quake 2";
constexpr const char* kIniName = "Fragdock.ini";

enum class Kind { Folder, Text, Bool, Int };
using Member = std::variant<std::string GameSettings::*, bool GameSettings::*, int GameSettings::*>;

// One key of the game sections. A null default means the key is not stored for that game.
// "~" at the start of a default stands for the home folder (the drives of the classic defaults).
struct KeyDef {
  const char* key;
  Kind kind;
  Member member;
  const char* q1;
  const char* q2;
};

using G = GameSettings;

// Both write orders in one table: Quake 1 skips the keys it does not store, and so does Quake 2.
const KeyDef kGameKeys[] = {
    {"Path", Kind::Folder, &G::Path, "~games/quake/", "~games/quake2/"},
    {"Patch", Kind::Folder, &G::Patch, "~patches/", "~games/quake2/patches/"},
    {"Maps", Kind::Folder, &G::Maps, "~maps/", "~games/quake2/maps/"},
    {"Skins", Kind::Folder, &G::Skins, "~skins/", "~games/quake2/skins/"},
    {"UseCFG", Kind::Bool, &G::UseCFG, "0", "0"},
    {"CFG", Kind::Folder, &G::CFG, "~cfgs/", "~games/quake2/cfgs/"},
    {"EXE", Kind::Text, &G::EXE, "quakd.exe", "quake2.exe"},
    {"ACFG", Kind::Text, &G::ACFG, "", ""},
    {"Terminatr", Kind::Bool, &G::Terminatr, "0", "0"},
    {"Dedicated", Kind::Bool, &G::Dedicated, "0", "0"},
    {"Dedicatedb", Kind::Int, &G::Dedicatedb, "16", "1"},
    {"Listen", Kind::Bool, &G::Listen, "0", "0"},
    {"Listenb", Kind::Int, &G::Listenb, "16", "16"},
    {"CmdLine", Kind::Text, &G::CmdLine, "", ""},
    {"NoJoy", Kind::Bool, &G::NoJoy, "1", nullptr},
    {"NoSound", Kind::Bool, &G::NoSound, "0", nullptr},
    {"Nocdaudio", Kind::Bool, &G::Nocdaudio, "0", nullptr},
    {"Deathmatch", Kind::Bool, &G::Deathmatch, "1", "1"},
    {"Deathmatchb", Kind::Int, &G::Deathmatchb, "1", "1"},
    {"Coop", Kind::Bool, &G::Coop, "0", "0"},
    {"Coopb", Kind::Int, &G::Coopb, "1", "1"},
    {"TeamPlay", Kind::Bool, &G::TeamPlay, "0", "0"},
    {"TeamPlayb", Kind::Int, &G::TeamPlayb, "1", "1"},
    {"NoExit", Kind::Bool, &G::NoExit, "1", "1"},
    {"NoExitb", Kind::Int, &G::NoExitb, "2", "2"},
    {"Pausable", Kind::Bool, &G::Pausable, "0", "0"},
    {"Pausableb", Kind::Int, &G::Pausableb, "0", "0"},
    {"NoDemos", Kind::Bool, &G::NoDemos, "0", "1"},
    {"WinMem", Kind::Bool, &G::WinMem, "1", "1"},
    {"WinMemb", Kind::Int, &G::WinMemb, "10", "10"},
    {"Connect", Kind::Bool, &G::Connect, "0", "0"},
    {"Connectb", Kind::Text, &G::Connectb, kPlaceholderServer, kPlaceholderServer},
    {"HostName", Kind::Bool, &G::HostName, "1", "1"},
    {"HostNameb", Kind::Text, &G::HostNameb, kPlaceholderServer, kPlaceholderServer},
    {"fraglimit", Kind::Bool, &G::fraglimit, "1", "1"},
    {"fraglimitb", Kind::Int, &G::fraglimitb, "15", "15"},
    {"timelimit", Kind::Bool, &G::timelimit, "0", "0"},
    {"timelimitb", Kind::Int, &G::timelimitb, "10", "10"},
    {"SameLevel", Kind::Bool, &G::SameLevel, "0", "0"},
    {"SameLevelb", Kind::Int, &G::SameLevelb, "1", "1"},
    {"map", Kind::Bool, &G::map, "0", "0"},
    {"mapb", Kind::Text, &G::mapb, "dm2", "q2hipdm1"},
    {"QuakeWorld", Kind::Bool, &G::QuakeWorld, "0", nullptr},
    {"maxclients", Kind::Bool, &G::maxclients, nullptr, "0"},
    {"maxclientsb", Kind::Int, &G::maxclientsb, nullptr, "8"},
    {"quaddrop", Kind::Bool, &G::quaddrop, nullptr, "1"},
    {"nofriendlifire", Kind::Bool, &G::nofriendlifire, nullptr, "0"},
    {"weaponstay", Kind::Bool, &G::weaponstay, nullptr, "0"},
    {"spawnfarthest", Kind::Bool, &G::spawnfarthest, nullptr, "0"},
    {"nohelth", Kind::Bool, &G::nohelth, nullptr, "0"},
    {"nopowerups", Kind::Bool, &G::nopowerups, nullptr, "0"},
    {"nofallingdamage", Kind::Bool, &G::nofallingdamage, nullptr, "0"},
    {"forcerespawn", Kind::Bool, &G::forcerespawn, nullptr, "0"},
    {"noarmor", Kind::Bool, &G::noarmor, nullptr, "0"},
    {"inammo", Kind::Bool, &G::inammo, nullptr, "0"},
    {"inpower", Kind::Bool, &G::inpower, nullptr, "1"},
    {"fixfov", Kind::Bool, &G::fixfov, nullptr, "0"},
    {"teamsbyskin", Kind::Bool, &G::teamsbyskin, nullptr, "0"},
    {"teamsbymodel", Kind::Bool, &G::teamsbymodel, nullptr, "0"},
    {"cddir", Kind::Bool, &G::cddir, nullptr, "1"},
    {"cmaplist", Kind::Bool, &G::cmaplist, nullptr, "1"},
    {"cddirb", Kind::Text, &G::cddirb, nullptr, "~quake2"},
    {"BaseArg", Kind::Text, &G::BaseArg, "", ""},
};

constexpr const char* kDontSave = "dont Save INI";
constexpr const char* kBackDefault = "themes/Fragdock";  // a new file's background
constexpr const char* kBackMissing = "fragdock";         // a file without the key
constexpr int kMaxInc = 65535;

const char* defaultFor(const KeyDef& def, Game g) { return g == Game::Quake1 ? def.q1 : def.q2; }
const char* sectionOf(Game g) { return g == Game::Quake1 ? kQ1Section : kQ2Section; }

std::string expandHome(const char* text, const DefaultRoots& roots) {
  std::string s(text);
  return !s.empty() && s.front() == '~' ? roots.home + s.substr(1) : s;
}

// Any whole number reads; zero is false, everything else true. Malformed text keeps the value.
void readBool(const std::optional<std::string>& text, bool& value) {
  if (text && IsWholeNumber(*text)) value = TextToIntOrZero(*text) != 0;
}

void readInt(const std::optional<std::string>& text, int& value) {
  if (text && IsWholeNumber(*text)) value = TextToIntOrZero(*text);
}

void assignDefault(GameSettings& s, const KeyDef& def, const char* text, const DefaultRoots& roots) {
  std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<T, std::string>) s.*member = expandHome(text, roots);
        if constexpr (std::is_same_v<T, bool>) s.*member = text[0] == '1';
        if constexpr (std::is_same_v<T, int>) s.*member = TextToIntOrZero(text);
      },
      def.member);
}

void readKey(const IniFile& ini, Game g, GameSettings& s, const KeyDef& def) {
  auto text = ini.read(sectionOf(g), def.key);
  std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<T, std::string>) {
          if (text) s.*member = *text;
        }
        if constexpr (std::is_same_v<T, bool>) readBool(text, s.*member);
        if constexpr (std::is_same_v<T, int>) readInt(text, s.*member);
      },
      def.member);
}

std::string keyText(const GameSettings& s, const KeyDef& def) {
  return std::visit(
      [&](auto member) -> std::string {
        using T = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<T, std::string>) return s.*member;
        else if constexpr (std::is_same_v<T, bool>) return s.*member ? "1" : "0";
        else return IntToText(s.*member);
      },
      def.member);
}

void readIncrement(const IniFile& ini, const char* key, int& value) {
  int read = 0;
  readInt(ini.read(kAppSection, key), read);
  // Out of range is a damaged file: the window keeps its designed size.
  value = read >= 0 && read <= kMaxInc ? read : 0;
}

void readAll(const IniFile& ini, Uvars& vars) {
  readBool(ini.read(kAppSection, kDontSave), vars.app.dontSaveIni);
  for (Game g : {Game::Quake1, Game::Quake2})
    for (const KeyDef& def : kGameKeys)
      if (defaultFor(def, g) != nullptr) readKey(ini, g, vars.game(g), def);
  vars.app.fdockback = ini.read(kAppSection, "fdockback").value_or(kBackMissing);
  readIncrement(ini, "xinc", vars.app.xinc);
  readIncrement(ini, "yinc", vars.app.yinc);
}

void writeAll(IniFile& ini, const Uvars& vars) {
  ini.write(kAppSection, kDontSave, "0");
  for (Game g : {Game::Quake1, Game::Quake2})
    for (const KeyDef& def : kGameKeys)
      if (defaultFor(def, g) != nullptr) ini.write(sectionOf(g), def.key, keyText(vars.game(g), def));
  ini.write(kAppSection, "fdockback", vars.app.fdockback);
  ini.write(kAppSection, "xinc", IntToText(vars.app.xinc));
  ini.write(kAppSection, "yinc", IntToText(vars.app.yinc));
}

}  // namespace

std::string Uvars::iniPath() const { return settingsFolder() + kIniName; }

void Uvars::usePlaces(const ProgramPlaces& places) {
  programFolder = places.program;
  userFolders = {places.settings, places.state, places.scratch};
}

void AssignDefaults(Uvars& vars, const DefaultRoots& roots) {
  vars.app = AppSettings{false, kBackDefault, 0, 0};
  for (Game g : {Game::Quake1, Game::Quake2})
    for (const KeyDef& def : kGameKeys)
      if (const char* text = defaultFor(def, g)) assignDefault(vars.game(g), def, text, roots);
}

Status SetDefaults(Uvars& vars, const DefaultRoots& roots) {
  AssignDefaults(vars, roots);
  return SaveSettings(vars);
}

Status LoadSettings(Uvars& vars, const DefaultRoots& roots) {
  static bool loading = false;
  if (loading) return {};
  loading = true;
  Status status;
  // Writes follow a settings file that is a symbolic link, so its clean-up does too.
  removeStaleTemporaries(vars.iniPath(), AtTargetLink::Follow);
  if (!entryExists(vars.iniPath())) status = SetDefaults(vars, roots);
  if (Result<IniFile> ini = IniFile::load(vars.iniPath())) {
    readAll(*ini, vars);
  } else if (entryExists(vars.iniPath())) {
    // A settings file that is there but cannot be read must never be overwritten
    // with values we did not read from it: run on the defaults and keep the file.
    AssignDefaults(vars, roots);
    vars.app.dontSaveIni = true;
    status = Error{ini.error().text + "; running on the built-in defaults and leaving it unchanged"};
  }
  EnforceLoadedFolders(vars.q1);
  EnforceLoadedFolders(vars.q2);
  vars.q1mod.clear();
  vars.q2mod.clear();
  loading = false;
  return status;
}

Status SaveSettings(Uvars& vars) {
  EnforceSavedFolders(vars.q1);
  EnforceSavedFolders(vars.q2);
  if (vars.app.dontSaveIni) return {};
  Result<std::string> before = readWholeFile(vars.iniPath(), kMaxIniBytes);
  // What could not be read (it grew past the limit, or turned into something
  // else since loading) would be lost with every unknown key in it.
  if (!before && entryExists(vars.iniPath()))
    return Error{before.error().text + "; the settings were not saved, so that it stays as it is"};
  IniFile ini = IniFile::parse(before ? *before : std::string());
  writeAll(ini, vars);
  std::string after = ini.serialize();
  if (before && after == *before) return {};
  // A settings file kept elsewhere through a link stays there: the link is followed.
  return writeFileAtomically(vars.iniPath(), after, AtTargetLink::Follow);
}

void EnforceLoadedFolders(GameSettings& g) {
  for (std::string* folder : {&g.Path, &g.Patch, &g.Maps, &g.Skins}) *folder = withTrailingSep(*folder);
}

void EnforceSavedFolders(GameSettings& g) {
  EnforceLoadedFolders(g);
  g.CFG = withTrailingSep(g.CFG);
}

std::string BackgroundBase(const Uvars& vars) {
  return isAbsolutePath(vars.app.fdockback) ? vars.app.fdockback : vars.programFolder + vars.app.fdockback;
}

const std::string& ChosenMod(const Uvars& vars, Game game) { return game == Game::Quake1 ? vars.q1mod : vars.q2mod; }

}  // namespace fdk
