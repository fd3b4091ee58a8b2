#pragma once
// The clean-up tool's run. The launcher starts "term --record PATH" once the
// game runs; the tool waits for that game (and any later launch's game of the
// same folder) to end, then undoes what the record names. "term 1|2" finishes
// what earlier launches of a game left; "term --dry-run 1|2" tells what that
// would do now and changes nothing.
#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/result.h"

namespace fdk {

struct TermOptions {
  enum class Mode { Record, Game, DryRun, Help };
  Mode mode = Mode::Help;
  std::string record;  // Mode::Record: the launch record's path
  char game = '0';     // Mode::Game, Mode::DryRun: '1' Quake, '2' Quake 2
  // How often a running game is looked at; games run for hours, so there is no bound.
  std::chrono::milliseconds poll{250};
};

// "--record PATH", "1|2", "--dry-run 1|2" or "--help".
Result<TermOptions> ParseTermArguments(const std::vector<std::string>& args);

std::string TermUsage();

// Works on stateFolder's "records/" (or the folder of a record given by
// path) and appends one line to stateFolder's "term.log" (both in the program
// folder where it is portable, see ProgramPlaces). Prints a dry run's
// steps on out, errors on err. Returns the exit code: 0 done, 1 failed.
int RunTerm(const TermOptions& options, const std::string& stateFolder, std::ostream& out, std::ostream& err);

inline constexpr const char* kLogName = "term.log";
inline constexpr const char* kRecordsFolder = "records/";

}  // namespace fdk
