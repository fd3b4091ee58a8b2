#include "core/launch/launchsequence.h"

#include "core/install/mapinstall.h"
#include "core/install/modelinstall.h"
#include "core/install/skininstall.h"
#include "core/install/modinstall.h"
#include "core/install/placement.h"
#include "core/launch/launch.h"
#include "core/platform/paths.h"

namespace fdk {

const char* LaunchStepName(LaunchStep step) {
  switch (step) {
    case LaunchStep::CheckNames: return "Checking the names on the command line";
    case LaunchStep::TakeSnapshot: return "Listing the game folder";
    case LaunchStep::InstallMod: return "Installing the MOD";
    case LaunchStep::InstallMaps: return "Installing the maps";
    case LaunchStep::WriteMapsList: return "Writing maps.lst";
    case LaunchStep::CopyConfigSet: return "Copying the config set";
    case LaunchStep::InstallSkins: return "Installing the skins";
    case LaunchStep::InstallModels: return "Installing the player models";
    case LaunchStep::WriteStartScript: return "Writing the start script";
    case LaunchStep::WriteSnapshot: return "Writing list.v and list.f";
    case LaunchStep::StartTerminator: return "Starting the clean-up tool";
    case LaunchStep::StartGame: return "Starting the game";
  }
  return "";
}

namespace {

Status startGame(const Uvars& vars, Game game, ProcessLayer& processes) {
  const std::string commandLine = CommandLine(vars, game);
  const std::string& folder = vars.game(game).Path;
  StartResult started = processes.Start(commandLine, folder);
  if (!started.ok)
    return Error{"The game was not started.\n\n" + started.error + "\n\nCommand line: " + commandLine};
  return {};
}

}  // namespace

Status CheckLaunch(const Uvars& vars, Game game) {
  if (Status folders = CheckGameFolders(vars, game); !folders)
    return Error{"The game was not started.\n\n" + folders.error().text};
  // Starting without the MOD the player chose would be a different game: say why nothing happens.
  if (game == Game::Quake2 && !vars.q2mod.empty() && !fileExists(ModArchivePath(vars, game)))
    return Error{"The MOD \"" + vars.q2mod + "\" cannot be installed: its archive " + ModArchivePath(vars, game) +
                 " is missing."};
  return CheckCommandLineNames(vars, game);
}

namespace {

// "maps.lst" names every map the Quake 2 start-map list offers, in the order
// they were found; what could not be listed is told with the rest.
void writeMapsList(const Uvars& vars, const LaunchTools& tools, LaunchObserver& observer, Report& leftOut) {
  observer.stepStarted(LaunchStep::WriteMapsList);
  const MapChoice choice =
      FillMapChoice(MapChoiceRequestFor(vars, Game::Quake2), tools.pakContent, tools.zip, observer);
  leftOut.merge(choice.damaged);
  leftOut.merge(choice.unwritable);
  leftOut.merge(choice.tooMany);
  if (Status written = WriteMapsList(vars, choice.mapsLst); !written) leftOut.skip("maps.lst", written.error().text);
}

// Quake takes the snapshot unless the player let a MOD's PAKs be extracted in
// this run; Quake 2 only for the clean-up tool. The clean-up tool always gets
// one: without it, it could not tell the launch's files from the game's.
bool takesSnapshot(const Uvars& vars, Game game, const LaunchTools& tools) {
  if (vars.game(game).Terminatr) return true;
  return game == Game::Quake1 && tools.pakContent.modPak != RunAnswer::Yes;
}

// The snapshot files describe the folder before the installs and replace the
// ones of the last launch. The clean-up tool acts on them, so when they cannot
// be written it is not started.
bool writeSnapshot(const Uvars& vars, Game game, const InstallSnapshot& snapshot, LaunchObserver& observer,
                   Report& leftOut) {
  observer.stepStarted(LaunchStep::WriteSnapshot);
  Status written = WriteSnapshotFiles(snapshot, vars.programFolder);
  if (written) return true;
  const char* consequence = vars.game(game).Terminatr ? " (so the clean-up tool was not started)" : "";
  leftOut.skip("list.v and list.f", written.error().text + consequence);
  return false;
}

InstallSnapshot snapshotIfTaken(const Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  if (!takesSnapshot(vars, game, tools)) return {};
  observer.stepStarted(LaunchStep::TakeSnapshot);
  return TakeSnapshot(vars.game(game).Path, &observer);
}

// What the player chose, into the game folder: the MOD, the maps, the config
// set, then Quake's skins or Quake 2's player models. Only the MOD stops the
// launch: starting without it would be a different game.
Status installChoices(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer, Report& leftOut) {
  observer.stepStarted(LaunchStep::InstallMod);
  Result<ModInstall> mod = InstallMod(vars, game, tools.zip, observer);
  if (!mod) return mod.error();
  leftOut.merge(mod->leftOut);
  if (game == Game::Quake2) vars.modGameFolder = mod->modGameFolder;

  observer.stepStarted(LaunchStep::InstallMaps);
  leftOut.merge(InstallChosenMaps(vars.game(game), vars.maps(game).chosen, tools.zip, observer));
  observer.stepStarted(LaunchStep::CopyConfigSet);
  leftOut.merge(CopyConfigSet(vars, game));
  if (game == Game::Quake1) {
    observer.stepStarted(LaunchStep::InstallSkins);
    leftOut.merge(InstallChosenSkins(vars.q1, vars.lbq1skinss, tools.zip, observer));
  } else {
    observer.stepStarted(LaunchStep::InstallModels);
    leftOut.merge(InstallChosenModels(vars.q2, vars.lbq2smchm, tools.zip, observer));
  }
  // Told to end while it installed, the launcher ends: it starts no game on a half-done install.
  if (InstallsStopped()) return Error{"The game was not started: the launcher was asked to end while it installed."};
  return {};
}

// Before anything is written: a name that would not reach the game as one word
// stops the launch. A Quake 2 MOD's game folder is named by its archive; an
// archive that cannot be listed is left to the MOD's installation to report.
Status checkNames(const Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  observer.stepStarted(LaunchStep::CheckNames);
  std::string modGameFolder;
  if (game == Game::Quake2 && !vars.q2mod.empty() && tools.zip.ListArchive(ModArchivePath(vars, game)))
    modGameFolder = ModGameFolderOf(tools.zip);
  return CheckCommandLineNames(vars, game, modGameFolder);
}

Status runSteps(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  if (Status names = checkNames(vars, game, tools, observer); !names) return names;
  Report leftOut;
  const InstallSnapshot snapshot = snapshotIfTaken(vars, game, tools, observer);
  if (Status installed = installChoices(vars, game, tools, observer, leftOut); !installed) return installed;

  observer.stepStarted(LaunchStep::WriteStartScript);
  if (Status written = WriteStartScript(vars, game); !written)
    return Error{"The start script could not be written:\n" + written.error().text};
  if (game == Game::Quake2 && vars.q2.cmaplist) writeMapsList(vars, tools, observer, leftOut);
  const bool listsWritten = writeSnapshot(vars, game, snapshot, observer, leftOut);

  if (!leftOut.empty()) observer.leftOut(leftOut);
  if (vars.game(game).Terminatr && listsWritten) {
    observer.stepStarted(LaunchStep::StartTerminator);
    if (std::string term = TerminatorCommandLine(vars, game); !term.empty())
      tools.processes.Start(term, vars.programFolder);
  }
  observer.stepStarted(LaunchStep::StartGame);
  return startGame(vars, game, tools.processes);
}

}  // namespace

Status RunLaunch(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  vars.launchgame = TraitsOf(game).number;
  Status started = runSteps(vars, game, tools, observer);
  if (!started) vars.launchgame = '0';
  return started;
}

}  // namespace fdk
