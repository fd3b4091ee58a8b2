#pragma once
// The clean-up tool's run: "term 1" or "term 2" after a launch, and
// "term --dry-run N" to see what it would remove.
#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "base/result.h"
#include "term/core/gamewait.h"

namespace fdk {

struct TermOptions {
  char game = '0';  // '1' Quake, '2' Quake 2
  bool dryRun = false;
  WaitBounds wait;
};

// "[--dry-run] [--appear-timeout-ms MS] 1|2"
Result<TermOptions> ParseTermArguments(const std::vector<std::string>& args);

// What a run did, for "term.log".
struct TermSummary {
  std::size_t removedFiles = 0, removedFolders = 0;
  std::size_t keptChanged = 0;   // files the game or the player changed
  std::size_t keptFolders = 0;   // folders that still hold something
  std::size_t leftAlone = 0;     // unsafe paths, links, entries of another kind, failed removals
  bool gameSeen = true;
  std::string note;              // set instead of the counts when nothing was to be done
};

std::string DescribeSummary(const TermSummary& summary);

// Runs in programFolder (the folder of "Fragdock.ini", "list.v", "list.f",
// "term.journal" and "term.log"). Prints the paths of a dry run on out and
// errors on err; every run appends one line to "term.log". Returns the exit code.
int RunTerm(const TermOptions& options, const std::string& programFolder, std::ostream& out, std::ostream& err);

// The journal's name in the program folder: one per game ("term1.journal",
// "term2.journal"), so that the two games, which may well run at the same
// time, never finish each other's journal.
std::string JournalName(char game);
inline constexpr const char* kLogName = "term.log";

}  // namespace fdk
