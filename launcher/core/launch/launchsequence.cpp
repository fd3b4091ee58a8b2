#include "core/launch/launchsequence.h"

#include "core/install/mapinstall.h"
#include "core/install/modelinstall.h"
#include "core/install/modinstall.h"
#include "core/placement/placement.h"
#include "core/install/skininstall.h"
#include "core/launch/launch.h"
#include "core/platform/gameprocess.h"
#include "core/platform/paths.h"
#include "core/record/recorder.h"

namespace fdk {

const char* LaunchStepName(LaunchStep step) {
  switch (step) {
    case LaunchStep::CheckNames: return "Checking the names on the command line";
    case LaunchStep::TakeSnapshot: return "Listing the game folder";
    case LaunchStep::OpenRecord: return "Opening the launch record";
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

Result<pid_t> startGame(const Uvars& vars, Game game, ProcessLayer& processes) {
  const std::string commandLine = CommandLine(vars, game);
  const std::string& folder = vars.game(game).Path;
  Result<pid_t> started = processes.Start(commandLine, folder);
  if (!started.ok()) return Error{"The game was not started.\n\n" + started.error().text + "\n\nCommand line: " + commandLine};
  return *started;
}

}  // namespace

Status CheckLaunch(const Uvars& vars, Game game) {
  if (Status folders = CheckGameFolders(vars, game); !folders)
    return explained("The game was not started.\n\n", folders.error());
  // Starting without the MOD the player chose would be a different game: say why nothing happens.
  if (game == Game::Quake2 && !vars.q2mod.empty() && !fileExists(ModArchivePath(vars, game)))
    return Error{"The MOD \"" + vars.q2mod + "\" cannot be installed: its archive " + ModArchivePath(vars, game) +
                 " is missing."};
  return CheckCommandLineNames(vars, game);
}

namespace {

// "maps.lst" names every map the Quake 2 start-map list offers, in the order
// they were found; what could not be listed is told with the rest.
void writeMapsList(const Uvars& vars, const LaunchTools& tools, LaunchObserver& observer, Report& leftOut,
                   ChangeRecorder* recorder) {
  observer.stepStarted(LaunchStep::WriteMapsList);
  const MapChoice choice = FillMapChoice(MapChoiceRequestFor(vars, Game::Quake2), tools.pakContent, tools.zip,
                                         observer);
  leftOut.merge(choice.damaged);
  leftOut.merge(choice.unwritable);
  leftOut.merge(choice.tooMany);
  if (Status written = WriteMapsList(vars, choice.mapsLst, recorder); !written)
    leftOut.skip("maps.lst", written.error().text);
}

// Quake takes the snapshot unless the player let a MOD's PAKs be extracted in
// this run; Quake 2 only with Use Terminator on, as the game's settings ask.
bool takesSnapshot(const Uvars& vars, Game game, const LaunchTools& tools) {
  if (vars.game(game).Terminatr) return true;
  return game == Game::Quake1 && tools.pakContent.modPak != RunAnswer::Yes;
}

// The snapshot files describe the folder before the installs and replace the
// ones of the last launch, for outside tools; the clean-up tool goes by the
// launch's record instead.
void writeSnapshot(const Uvars& vars, const InstallSnapshot& snapshot, LaunchObserver& observer, Report& leftOut) {
  observer.stepStarted(LaunchStep::WriteSnapshot);
  if (Status written = WriteSnapshotFiles(snapshot, vars.stateFolder()); !written)
    leftOut.skip("list.v and list.f", written.error().text);
}

InstallSnapshot snapshotIfTaken(const Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  if (!takesSnapshot(vars, game, tools)) return {};
  observer.stepStarted(LaunchStep::TakeSnapshot);
  return TakeSnapshot(vars.game(game).Path, &observer);
}

// What one install left out goes into the launch's report; the files it kept
// out are named together after every install, in one line.
void noteOutcome(const InstallOutcome& outcome, Report& leftOut, KeptFiles& kept) {
  leftOut.merge(outcome.leftOut);
  kept.merge(outcome.kept);
}

// What the player chose, into the game folder: the MOD, the maps, the config
// set, then Quake's skins or Quake 2's player models. Only the MOD stops the
// launch: starting without it would be a different game.
Status installChoices(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer, Report& leftOut,
                      ChangeRecorder* recorder) {
  observer.stepStarted(LaunchStep::InstallMod);
  Result<ModInstall> mod = InstallMod(vars, game, tools.zip, observer, recorder);
  if (!mod) return mod.error();
  KeptFiles kept;
  noteOutcome(InstallOutcome{std::move(mod->leftOut), std::move(mod->kept)}, leftOut, kept);
  if (game == Game::Quake2) vars.modGameFolder = mod->modGameFolder;

  observer.stepStarted(LaunchStep::InstallMaps);
  noteOutcome(InstallChosenMaps(vars.game(game), vars.maps(game).chosen, tools.zip, observer, recorder), leftOut, kept);
  observer.stepStarted(LaunchStep::CopyConfigSet);
  leftOut.merge(CopyConfigSet(vars, game, recorder));
  if (game == Game::Quake1) {
    observer.stepStarted(LaunchStep::InstallSkins);
    noteOutcome(InstallChosenSkins(vars.q1, vars.selectedSkins, tools.zip, observer, recorder), leftOut, kept);
  } else {
    observer.stepStarted(LaunchStep::InstallModels);
    noteOutcome(InstallChosenModels(vars.q2, vars.chosenModels, tools.zip, observer, recorder), leftOut, kept);
  }
  // Told to end while it installed, the launcher ends: it starts no game on a half-done install.
  if (InstallsStopped()) return Error{"The game was not started: the launcher was asked to end while it installed."};
  kept.tellInto(leftOut);
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

// The record of what the launch changes in the game folder, for the clean-up
// tool: only with Use Terminator on and the tool there to finish it. One that
// cannot be made leaves the launch unrecorded, and the tool unstarted.
std::optional<LaunchRecorder> openRecord(const Uvars& vars, Game game, LaunchObserver& observer, Report& leftOut) {
  if (!vars.game(game).Terminatr || !fileExists(TerminatorPath(vars))) return std::nullopt;
  observer.stepStarted(LaunchStep::OpenRecord);
  Result<LaunchRecorder> made = LaunchRecorder::Create(vars.stateFolder(), TraitsOf(game).number, vars.game(game).Path);
  if (made) return std::move(*made);
  leftOut.skip("the launch record", made.error().text + " (so the clean-up tool is not started)");
  return std::nullopt;
}

// The clean-up tool follows the game by its identity, which exists only once
// the game runs. A record that does not name its running game would be
// finished at once, under the game's feet: then the tool is not started, and
// the record waits for a later run of it. A game that is already gone needs
// no naming.
void handOver(const Uvars& vars, LaunchRecorder& record, pid_t game, ProcessLayer& processes,
              LaunchObserver& observer) {
  observer.stepStarted(LaunchStep::StartTerminator);
  Report failed;
  if (const std::optional<ProcessIdentity> identity = IdentifyProcess(game)) {
    if (Status told = record.GameStarted(*identity); !told) {
      failed.skip("the clean-up tool", "not started: " + told.error().text);
      return observer.leftOut(failed);
    }
  }
  Result<pid_t> term = processes.Start(TerminatorCommandLine(vars, record.path()), vars.programFolder);
  if (!term.ok()) failed.skip("the clean-up tool", term.error().text + " The launch's record stays for a later run.");
  if (!failed.empty()) observer.leftOut(failed);
}

Status runSteps(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  if (Status names = checkNames(vars, game, tools, observer); !names) return names;
  Report leftOut;
  const InstallSnapshot snapshot = snapshotIfTaken(vars, game, tools, observer);
  std::optional<LaunchRecorder> record = openRecord(vars, game, observer, leftOut);
  ChangeRecorder* recorder = record ? &*record : nullptr;
  if (Status installed = installChoices(vars, game, tools, observer, leftOut, recorder); !installed) return installed;

  observer.stepStarted(LaunchStep::WriteStartScript);
  if (Status written = WriteStartScript(vars, game, recorder); !written)
    return explained("The start script could not be written:\n", written.error());
  if (game == Game::Quake2 && vars.q2.cmaplist) writeMapsList(vars, tools, observer, leftOut, recorder);
  writeSnapshot(vars, snapshot, observer, leftOut);

  if (!leftOut.empty()) observer.leftOut(leftOut);
  observer.stepStarted(LaunchStep::StartGame);
  Result<pid_t> started = startGame(vars, game, tools.processes);
  if (!started) return started.error();
  if (record) handOver(vars, *record, *started, tools.processes, observer);
  return {};
}

}  // namespace

Status RunLaunch(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer) {
  vars.launching = game;
  Status started = runSteps(vars, game, tools, observer);
  if (!started) vars.launching.reset();
  return started;
}

}  // namespace fdk
