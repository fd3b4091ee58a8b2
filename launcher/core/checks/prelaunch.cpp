#include "core/checks/prelaunch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "base/pathsplit.h"
#include "base/text.h"
#include "core/checks/gamefiles.h"
#include "core/content/mods.h"
#include "core/install/installrun.h"
#include "core/launch/commandpreview.h"
#include "core/placement/entrypath.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/platform/processes.h"
#include "formats/pak.h"

namespace fdk {

namespace {

using K = FindingKind;

struct Checks {
  const Uvars& vars;
  Game game;
  Tzipform& zip;
  std::vector<Finding> out;

  const GameSettings& g() const { return vars.game(game); }
  void add(K kind, std::vector<std::string> paths, std::string text) {
    out.push_back({kind, std::move(paths), std::move(text)});
  }
};

// A folder of the game folder as the player reads it there: "ID1", "arena".
std::string inGame(const Checks& c, std::string folder) {
  const std::string& game = c.g().Path;
  if (folder.starts_with(game) && folder.size() > game.size()) folder.erase(0, game.size());
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

void checkProgram(Checks& c) {
  if (c.g().EXE.empty()) return c.add(K::Program, {}, "No program is set for the game: choose its EXE in Setup.");
  const std::string exe = ResolveProgram(c.g().EXE, c.g().Path);
  struct stat st {};
  if (::stat(exe.c_str(), &st) != 0) return c.add(K::Program, {exe}, "The program " + exe + " does not exist.");
  if (S_ISDIR(st.st_mode)) return c.add(K::Program, {exe}, "The program " + exe + " is a folder, not a program.");
  if (!S_ISREG(st.st_mode)) return c.add(K::Program, {exe}, "The program " + exe + " is not a file.");
  if (::access(exe.c_str(), X_OK) != 0)
    c.add(K::Program, {exe}, "The program " + exe + " may not be run: it is not executable (chmod +x).");
}

// The base folder on disk (with its separator), when there is one in any letter case.
std::optional<std::string> checkBaseFolder(Checks& c) {
  const std::string base = BaseFolderName(c.game);
  const std::optional<std::string> onDisk = FindNameNoCase(c.g().Path, base, EntryKind::Folders);
  if (!onDisk) {
    c.add(K::BaseFolder, {c.g().Path},
          "The game folder " + c.g().Path + " has no " + base + " folder: the game's own files are not there.");
    return std::nullopt;
  }
  if (*onDisk != base)
    c.add(K::LetterCase, {c.g().Path + *onDisk},
          "The folder " + *onDisk + " must be called " + base + ": Linux engines look for it in lower case.");
  return c.g().Path + *onDisk + "/";
}

// A MOD's folder must be spelled as the game is told it.
std::optional<std::string> checkQuakeModFolder(Checks& c) {
  const std::string& mod = c.vars.q1mod;
  if (mod.empty()) return std::nullopt;
  const std::optional<std::string> onDisk = FindNameNoCase(c.g().Path, mod, EntryKind::Folders);
  if (!onDisk) return std::nullopt;  // the launch makes it
  if (*onDisk != mod)
    c.add(K::LetterCase, {c.g().Path + *onDisk},
          "The MOD folder " + *onDisk + " must be called " + mod + ": the game is told -game " + mod + ".");
  return c.g().Path + *onDisk + "/";
}

void checkPakNames(Checks& c, const std::string& folder, const PakFiles& paks) {
  std::vector<std::string> wrong, right, paths;
  for (const PakFile& pak : paks)
    if (pak.name != lowerAsciiCopy(pak.name)) {
      wrong.push_back(pak.name);
      right.push_back(lowerAsciiCopy(pak.name));
      paths.push_back(folder + pak.name);
    }
  if (wrong.empty()) return;
  c.add(K::LetterCase, paths,
        joinedText(wrong) + " in " + inGame(c, folder) + (wrong.size() == 1 ? " is" : " are") +
            " not read: the engines look for " + joinedText(right) + ".");
}

// Quake reads pak0.pak, pak1.pak, ... and stops at the first number that is missing.
void checkPakGap(Checks& c, const std::string& folder, const PakFiles& paks) {
  int next = 0;  // the number Quake reads next
  for (std::size_t i = 0; i < paks.size(); ++i) {
    if (paks[i].number < next) continue;  // another spelling of a number already counted
    if (paks[i].number == next) {
      ++next;
      continue;
    }
    std::vector<std::string> unread, paths;
    for (std::size_t j = i; j < paks.size(); ++j) {
      unread.push_back(paks[j].name);
      paths.push_back(folder + paks[j].name);
    }
    return c.add(K::PakGap, paths,
                 "pak" + std::to_string(next) + ".pak is missing from " + inGame(c, folder) +
                     ", so Quake never reads " + joinedText(unread) + ".");
  }
}

void checkPakFolder(Checks& c, const std::string& folder) {
  const PakFiles paks = PakFilesIn(folder);
  checkPakNames(c, folder, paks);
  if (c.game == Game::Quake1) checkPakGap(c, folder, paks);
}

bool isGameLibrary(const std::string& path, std::string_view extension) {
  const std::string name = lowerAsciiCopy(fileNamePart(path));
  return name.starts_with("game") && name.ends_with(extension);
}

// A Quake 2 MOD's game code: Windows libraries without a Linux one, in its archive or its folder.
void checkWindowsOnlyMod(Checks& c, const std::string& modFolder) {
  std::vector<std::string> windows;
  bool linux = false;
  const std::string archive = ModArchivePath(c.vars, Game::Quake2);
  if (c.zip.ListArchive(archive))
    for (const ArchiveRecord& record : c.zip.records()) {
      if (isGameLibrary(record.name, ".dll")) windows.push_back(archive + ": " + record.name);
      linux = linux || isGameLibrary(record.name, ".so");
    }
  if (!modFolder.empty()) {
    for (const std::string& name : ListFolder(modFolder, "game*.dll", {EntryKind::Files})) windows.push_back(modFolder + name);
    linux = linux || !ListFolder(modFolder, "game*.so", {EntryKind::Files}).empty();
  }
  if (windows.empty() || linux) return;
  c.add(K::WindowsOnlyMod, windows,
        "The MOD " + c.vars.q2mod + " brings its game code only for Windows (" + fileNamePart(windows.front()) +
            ", no game*.so): the engine runs Quake 2's own game code instead.");
}

// The engines read a folder's PAKs before its loose files.
void checkShadowedMaps(Checks& c) {
  std::map<std::string, PakFiles> paksOf;
  for (const PlannedArchive& map : ArchivesInFolder(c.g().Maps, c.vars.maps(c.game).chosen, "map")) {
    if (map.path.empty() || !c.zip.ListArchive(map.path)) continue;
    for (const ArchiveRecord& record : c.zip.records()) {
      Result<EntryPath> path = SafeEntryPath(record.name);
      if (!path || path->folders.size() != 2 || !equalsNoCase(path->folders[1], "maps") ||
          !endsWithNoCase(path->name, ".bsp"))
        continue;
      const std::optional<std::string> folder = FindFolderNoCase(c.g().Path, path->folders[0]);
      if (!folder) continue;
      if (!paksOf.contains(*folder)) paksOf[*folder] = PakFilesIn(*folder);
      for (const PakFile& pak : paksOf[*folder])
        if (PakHolds(*folder + pak.name, "maps/" + path->name))
          c.add(K::ShadowedMap, {*folder + pak.name, record.name},
                "The map " + path->name + " of " + map.name + " is also inside " + pak.name + " of " +
                    inGame(c, *folder) + ": the game loads the PAK's copy.");
    }
  }
}

}  // namespace

std::vector<Finding> PreLaunchChecks(const Uvars& vars, Game game, Tzipform& zip) {
  Checks c{vars, game, zip, {}};
  const std::string& path = c.g().Path;
  if (path.empty() || !folderExists(path)) {
    c.add(K::GameFolder, {path}, "The game folder " + path + " does not exist: choose the game's folder in Setup.");
    checkProgram(c);
    return c.out;
  }
  checkProgram(c);
  const std::optional<std::string> base = checkBaseFolder(c);
  std::string modFolder;
  if (game == Game::Quake1) {
    modFolder = checkQuakeModFolder(c).value_or("");
  } else if (const std::string folder = Q2ModGameFolderNow(vars, zip); !folder.empty()) {
    modFolder = FindFolderNoCase(path, folder).value_or("");
  }
  if (base) checkPakFolder(c, *base);
  if (!modFolder.empty()) checkPakFolder(c, modFolder);
  if (game == Game::Quake2 && !vars.q2mod.empty()) checkWindowsOnlyMod(c, modFolder);
  checkShadowedMaps(c);
  std::stable_sort(c.out.begin(), c.out.end(), [](const Finding& a, const Finding& b) { return a.kind < b.kind; });
  return c.out;
}

std::string FindingsSummary(Game game, const std::vector<Finding>& findings) {
  const std::string name = TraitsOf(game).name;
  if (findings.empty()) return name + ": all well.";
  const std::string count = std::to_string(findings.size()) + (findings.size() == 1 ? " finding" : " findings");
  return name + ": " + count + ", see Q" + TraitsOf(game).number + " Stuff.";
}

bool HasLetterCaseFinding(const std::vector<Finding>& findings) {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.kind == K::LetterCase; });
}

}  // namespace fdk
