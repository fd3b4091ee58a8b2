#pragma once
// Starting outside programs (games, tools, the model viewer) without a shell, and
// knowing which of them still run.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "base/result.h"

namespace fdk {

// Splits a command line into words: blanks separate words, single and double
// quotes group (and are removed), nothing is expanded. A backslash is an ordinary
// character, so folder names from settings pass through unchanged.
std::vector<std::string> SplitCommandLine(std::string_view line);

struct StartOptions {
  // Where the program's output (stdout and stderr) goes; empty: the launcher's own.
  std::string outputFile;
};

// Tracks the programs the launcher started. Where a window's title was asked
// for ("WindowTitleExists"), the launcher asks whether a program it started,
// whose command line contains the name, still runs.
class ProcessLayer {
 public:
  // Starts the command line in workFolder. The program (first word) is resolved
  // against workFolder unless it is absolute. The child gets a session of its own
  // so that it outlives the launcher and the launcher's terminal. Gives the
  // started program's process number, or what failed, naming the program and the folder.
  Result<pid_t> Start(std::string_view commandLine, const std::string& workFolder, const StartOptions& options = {});

  // True while any started program whose command line contains name (compared
  // without letter case) is still running.
  bool StartedProgramRuns(std::string_view name);

  // Collects programs that have ended; called by the queries.
  void Reap();

  std::size_t runningCount();
  // The started programs that still run.
  std::vector<pid_t> running();

  // How a started program ended: its exit code (128 + the signal's number when a
  // signal ended it); nullopt while it runs or for a program we did not start.
  std::optional<int> ExitCode(pid_t pid);

 private:
  struct Child {
    pid_t pid;
    std::string commandLine;
  };
  std::vector<Child> children_;
  std::map<pid_t, int> ended_;
};

// Resolves a program name against a folder: absolute names stay, others are joined to the folder.
std::string ResolveProgram(const std::string& program, const std::string& workFolder);

}  // namespace fdk
