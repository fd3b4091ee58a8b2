#pragma once
// The settings store: every value the launcher remembers between runs, and the
// run-time values kept beside them. Each key is declared once, in settings.cpp,
// with its type, its defaults and its place in the write order.
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "core/games/games.h"
#include "core/platform/places.h"

namespace fdk {

// The values of one game ("Quake 1" or "Quake 2" section).
struct GameSettings {
  std::string Path, Patch, Maps, Skins, CFG, EXE, ACFG, CmdLine;
  std::string Connectb, HostNameb, mapb, cddirb;
  // How the engine is told the game folder: "" (it is started there), "-basedir"
  // or "-datadir" with the folder right after the program name.
  std::string BaseArg;
  bool UseCFG = false, Terminatr = false, Dedicated = false, Listen = false;
  bool NoJoy = false, NoSound = false, Nocdaudio = false;
  bool Deathmatch = false, Coop = false, TeamPlay = false, NoExit = false, Pausable = false;
  bool NoDemos = false, WinMem = false, Connect = false, HostName = false;
  bool fraglimit = false, timelimit = false, SameLevel = false, map = false, QuakeWorld = false;
  bool maxclients = false;
  bool quaddrop = false, nofriendlifire = false, weaponstay = false, spawnfarthest = false;
  bool nohelth = false, nopowerups = false, nofallingdamage = false, forcerespawn = false;
  bool noarmor = false, inammo = false, inpower = false, fixfov = false;
  bool teamsbyskin = false, teamsbymodel = false, cddir = false, cmaplist = false;
  int Dedicatedb = 0, Listenb = 0, Deathmatchb = 0, Coopb = 0, TeamPlayb = 0, NoExitb = 0;
  int Pausableb = 0, WinMemb = 0, fraglimitb = 0, timelimitb = 0, SameLevelb = 0, maxclientsb = 0;
};

// The "Fragdock" section.
struct AppSettings {
  bool dontSaveIni = false;
  std::string fdockback;
  int xinc = 0;
  int yinc = 0;
};

// One game's map lists on its Maps page, kept sorted without regard to letter
// case; duplicates are not prevented.
struct MapLists {
  std::vector<std::string> available;  // lbq1maps, lbq2amaps: the map folder's archives
  std::vector<std::string> chosen;     // lbq1chmaps, lbq2cmaps: installed at the next launch
  std::vector<std::string> installed;  // lbimaps, lbq2imaps: the game's maps folder
};

// A Quake 2 model pack and one of its skins, as chosen on the Q2 Models page.
struct ModelSkin {
  std::string model;  // the pack's name
  std::string skin;
  bool operator==(const ModelSkin&) const = default;
};

// The store plus the run-time values that are never written.
struct Uvars {
  AppSettings app;
  GameSettings q1;
  GameSettings q2;

  std::string programFolder;  // with trailing separator: the programs and pictures
  // Where an installed program keeps this user's files (ProgramPlaces); each
  // empty where the program folder is portable and holds them itself.
  struct {
    std::string settings, state, scratch;
  } userFolders;
  std::string q1mod, q2mod;   // MOD chosen on the MOD pages; empty = none
  std::optional<Game> launching;  // "launchgame": the game a launch is under way for
  // The folder the chosen Quake 2 MOD runs from, found by its installation.
  std::string modGameFolder;
  MapLists q1maps, q2maps;
  // Selected Skins of the Q1 Skins page ("lbq1skinss"), in the order added;
  // duplicates allowed.
  std::vector<std::string> selectedSkins;
  // The chosen pairs of the Q2 Models page ("lbq2smchm" and "lbq2smchs"), in
  // the order chosen, never sorted.
  std::vector<ModelSkin> chosenModels;

  MapLists& maps(Game g) { return g == Game::Quake1 ? q1maps : q2maps; }
  const MapLists& maps(Game g) const { return g == Game::Quake1 ? q1maps : q2maps; }

  GameSettings& game(Game g) { return g == Game::Quake1 ? q1 : q2; }
  const GameSettings& game(Game g) const { return g == Game::Quake1 ? q1 : q2; }

  std::string iniPath() const;
  // Each with a trailing separator.
  const std::string& settingsFolder() const { return orProgram(userFolders.settings); }
  const std::string& stateFolder() const { return orProgram(userFolders.state); }
  const std::string& scratchFolder() const { return orProgram(userFolders.scratch); }
  void usePlaces(const ProgramPlaces& places);

 private:
  const std::string& orProgram(const std::string& folder) const { return folder.empty() ? programFolder : folder; }
};

// The MOD chosen for the game on its MOD page (empty = none).
const std::string& ChosenMod(const Uvars& vars, Game game);

// Placeholder word for the server to join and the hosted server's name.
inline constexpr const char* kPlaceholderServer = "fragdock";

// Where the built-in default paths start: the user's home folder stands for the
// drives of the classic defaults. Overridable for tests.
struct DefaultRoots {
  std::string home;  // with trailing separator
};

// Assigns every default of a new settings file (does not write).
void AssignDefaults(Uvars& vars, const DefaultRoots& roots);

// Writes the defaults into a new file: assigns them, then saves.
Status SetDefaults(Uvars& vars, const DefaultRoots& roots);

// Loads the settings file (iniPath: the settings folder's Fragdock.ini), creating it with the defaults
// first when it is missing. Unreadable values keep what the store holds. The
// error tells of a file that could not be created or read; the store is usable either way.
Status LoadSettings(Uvars& vars, const DefaultRoots& roots);

// Enforces the folder invariant and, unless "dont Save INI" is set, writes every
// key in the write order. Keys and sections the launcher does not know are kept.
// A file whose bytes would not change is not touched.
Status SaveSettings(Uvars& vars);

// The folder invariant for the four folders that loading enforces (Path, Patch, Maps, Skins).
void EnforceLoadedFolders(GameSettings& g);
// ... and for the five that saving enforces (CFG too).
void EnforceSavedFolders(GameSettings& g);

// The background picture's path without extension: relative values are taken
// from the program folder.
std::string BackgroundBase(const Uvars& vars);

}  // namespace fdk
