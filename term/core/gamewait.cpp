#include "term/core/gamewait.h"

#include <cctype>
#include <filesystem>
#include <thread>

#include <dirent.h>
#include <unistd.h>

#include "core/platform/paths.h"
#include "core/platform/processes.h"

namespace fdk {

namespace {

bool isProcessId(const char* name) {
  if (*name == '\0') return false;
  for (; *name != '\0'; ++name)
    if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
  return true;
}

std::string programOf(const char* pid) {
  const std::string link = std::string("/proc/") + pid + "/exe";
  char target[4096];
  // Processes of other users cannot be read: they are not the player's game.
  const ssize_t size = ::readlink(link.c_str(), target, sizeof target);
  if (size <= 0 || static_cast<std::size_t>(size) >= sizeof target) return {};
  return std::string(target, static_cast<std::size_t>(size));
}

}  // namespace

std::string GameExecutable(const GameSettings& game) {
  const std::vector<std::string> words = SplitCommandLine(game.EXE);
  if (words.empty()) return {};
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::weakly_canonical(ResolveProgram(words.front(), game.Path), ec);
  return ec ? ResolveProgram(words.front(), game.Path) : exe.string();
}

bool GameRunning(const std::string& exe) {
  if (exe.empty()) return false;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return false;
  bool found = false;
  while (const dirent* entry = ::readdir(proc)) {
    if (isProcessId(entry->d_name) && programOf(entry->d_name) == exe) {
      found = true;
      break;
    }
  }
  ::closedir(proc);
  return found;
}

GameWait WaitForGame(const std::string& exe, const WaitBounds& bounds) {
  const auto giveUp = std::chrono::steady_clock::now() + bounds.appear;
  while (!GameRunning(exe)) {
    if (std::chrono::steady_clock::now() >= giveUp) return GameWait::NeverSeen;
    std::this_thread::sleep_for(bounds.poll);
  }
  while (GameRunning(exe)) std::this_thread::sleep_for(bounds.poll);
  return GameWait::Ended;
}

}  // namespace fdk
