#pragma once
// Starting a game, as one sequence of named steps. The window collects what the
// player chose and calls this; what the steps need to tell or show goes through
// the observer, which the progress window implements.
#include <cstdint>
#include <string>

#include "base/report.h"
#include "base/result.h"
#include "core/archive/catalogue.h"
#include "core/content/pakcontent.h"
#include "core/install/installhost.h"
#include "core/install/snapshot.h"
#include "core/platform/processes.h"
#include "core/store/settings.h"

namespace fdk {

enum class LaunchStep {
  CheckNames,
  TakeSnapshot,
  OpenRecord,
  InstallMod,
  InstallMaps,
  CopyConfigSet,
  InstallSkins,
  InstallModels,
  WriteStartScript,
  WriteMapsList,
  WriteSnapshot,
  StartGame,
  StartTerminator,
};
const char* LaunchStepName(LaunchStep step);

// The installs of a launch show their progress and ask their questions through
// the observer too, and so does the listing of PAKs for "maps.lst".
class LaunchObserver : public InstallHost, public PakContentHost, public SnapshotHost {
 public:
  virtual void stepStarted(LaunchStep /*step*/) {}
  // What the steps left out, told once, just before the game starts; and once
  // more, after it, when the game could not be handed to the clean-up tool.
  // Never called when nothing was left out.
  virtual void leftOut(const Report& report) = 0;
};

// What must hold before the launch hides the window or writes anything: the game
// folders are there, for Quake 2 a chosen MOD's archive is, and every name the
// command line carries can go there as one word. The error is the whole message
// for the player.
Status CheckLaunch(const Uvars& vars, Game game);

// Runs the launch's steps in their order: the names on the command line checked
// (a Quake 2 MOD's game folder read from its archive), the record of the
// launch's changes (with Use Terminator on and the clean-up tool there), the
// chosen MOD's installation (through the catalogue), the chosen maps, config
// set, start script, Quake 2's "maps.lst" when its switch is on, the game, and
// then the clean-up tool, handed the record with the game in it. The record is
// released when RunLaunch returns; one whose game did not start stays for a
// later run of the tool. Sets the game launching and, for Quake 2, the MOD game folder.
// An error says why the game was not started (the whole message for the player);
// the store is left as it was, so nothing the player set is lost.
// What a launch works with besides the store: the process layer, the archive
// catalogue the launch reads its archives through (its own, for this run) and
// what the PAK listing remembers for the run.
struct LaunchTools {
  ProcessLayer& processes;
  Tzipform& zip;
  PakContentState& pakContent;
};

Status RunLaunch(Uvars& vars, Game game, const LaunchTools& tools, LaunchObserver& observer);

}  // namespace fdk
