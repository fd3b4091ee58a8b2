#pragma once
// Where the launcher and the clean-up tool find their files and write their own.
//
// A portable program folder (a build's dist/, an unpacked copy) holds it all: the
// programs and pictures, the settings, the launch state and the scratch files.
// An installed program folder is shared by every user and only read; each user's
// settings, launch state and scratch files then go to the XDG base folders, in a
// "fragdock" folder of each. The launcher and term decide the same way, from the
// folder of their own executable, so they always agree.
#include <string>

#include "base/result.h"

namespace fdk {

// The file the install rules put into an installed program folder.
inline constexpr const char* kInstallMarker = "fragdock.installed";

// The folders, each with a trailing separator.
struct ProgramPlaces {
  std::string program;   // the programs, libglide and the pictures: only read
  std::string settings;  // Fragdock.ini
  std::string state;     // list.v, list.f, term's records/ and term.log
  std::string scratch;   // the preview's "!-!.bmp", paktemp/, preview copies, fdk.bmp
  bool installed = false;
};

// What the XDG base folders are made from: the process environment, or a test's.
// An empty value counts as unset.
struct XdgEnvironment {
  std::string home;
  std::string configHome;  // XDG_CONFIG_HOME
  std::string stateHome;   // XDG_STATE_HOME
  std::string cacheHome;   // XDG_CACHE_HOME

  static XdgEnvironment FromProcess();
};

// Installed when the folder carries the install marker or this user cannot write it.
bool IsInstalledProgramFolder(const std::string& programFolder);

// The places for a program folder: all of them the folder itself when it is
// portable, the XDG folders' "fragdock/" when it is installed.
ProgramPlaces FindProgramPlaces(const std::string& programFolder, const XdgEnvironment& env);

// Makes the folders this program writes (settings and state readable by their
// owner only), with any missing parents. A portable folder needs nothing made.
// The error names the folder that could not be made.
Status MakeProgramPlaces(const ProgramPlaces& places);

}  // namespace fdk
