#include "core/platform/processes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/platform/paths.h"
#include "core/platform/util.h"

extern char** environ;

namespace fdk {

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  char quote = 0;
  for (char c : line) {
    if (quote != 0) {
      if (c == quote) quote = 0;
      else word.push_back(c);
    } else if (c == '"' || c == '\'') {
      quote = c;
      inWord = true;
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

std::string ResolveProgram(const std::string& program, const std::string& workFolder) {
  return isAbsolutePath(program) ? program : joinPath(workFolder, program);
}

namespace {

std::string describe(const std::string& program, const std::string& folder, const std::string& why) {
  return "Cannot start \"" + program + "\" in the folder \"" + folder + "\": " + why;
}

// Checks what posix_spawn would otherwise only report as a vague failure.
std::string checkRunnable(const std::string& exe, const std::string& workFolder) {
  if (!folderExists(workFolder)) return "the folder does not exist.";
  if (!entryExists(exe)) return "the program does not exist.";
  if (folderExists(exe)) return "it is a folder, not a program.";
  if (access(exe.c_str(), X_OK) != 0) return "the program is not executable.";
  return {};
}

}  // namespace

Result<pid_t> ProcessLayer::Start(std::string_view commandLine, const std::string& workFolder,
                                  const StartOptions& options) {
  Reap();
  std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return Error{describe("", workFolder, "the command line is empty.")};
  std::string exe = ResolveProgram(words[0], workFolder);
  if (std::string why = checkRunnable(exe, workFolder); !why.empty())
    return Error{describe(words[0], workFolder, why)};
  std::vector<char*> argv;
  argv.push_back(exe.data());
  for (std::size_t i = 1; i < words.size(); ++i) argv.push_back(words[i].data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, workFolder.c_str());
  if (!options.outputFile.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  }
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  int rc = posix_spawn(&pid, exe.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return Error{describe(words[0], workFolder, std::strerror(rc))};
  children_.push_back({pid, std::string(commandLine)});
  return pid;
}

void ProcessLayer::Reap() {
  for (auto it = children_.begin(); it != children_.end();) {
    int status = 0;
    pid_t r = waitpid(it->pid, &status, WNOHANG);
    if (r == it->pid) ended_[it->pid] = WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    if (r == it->pid || (r < 0 && errno == ECHILD)) it = children_.erase(it);
    else ++it;
  }
}

bool ProcessLayer::StartedProgramRuns(std::string_view name) {
  Reap();
  std::string wanted = UpperCaseUmlaut(name);
  bool found = false;
  for (const Child& child : children_)
    if (UpperCaseUmlaut(child.commandLine).find(wanted) != std::string::npos) found = true;
  return found;
}

std::optional<int> ProcessLayer::ExitCode(pid_t pid) {
  Reap();
  auto it = ended_.find(pid);
  if (it == ended_.end()) return std::nullopt;
  return it->second;
}

std::vector<pid_t> ProcessLayer::running() {
  Reap();
  std::vector<pid_t> pids;
  for (const Child& child : children_) pids.push_back(child.pid);
  return pids;
}

std::size_t ProcessLayer::runningCount() {
  Reap();
  return children_.size();
}

}  // namespace fdk
