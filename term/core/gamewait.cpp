#include "term/core/gamewait.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>
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

namespace {

// The first two words a process was started with: a game started through a
// script runs as the script's interpreter with the script as its first argument.
std::vector<std::string> firstWords(const char* pid) {
  std::ifstream in(std::string("/proc/") + pid + "/cmdline", std::ios::binary);
  std::vector<std::string> words;
  std::string word;
  while (words.size() < 2 && std::getline(in, word, '\0')) words.push_back(word);
  return words;
}

bool sameProgram(const std::string& path, const std::string& exe) {
  std::error_code ec;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
  return !ec && resolved.string() == exe;
}

bool isGame(const char* pid, const std::string& exe) {
  if (programOf(pid) == exe) return true;
  const std::vector<std::string> words = firstWords(pid);
  return words.size() == 2 && !words[1].empty() && words[1].front() == '/' && sameProgram(words[1], exe);
}

// A process that has ended but was not yet collected by its parent no longer runs.
bool alive(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return false;
  const std::size_t name = stat.rfind(')');
  if (name == std::string::npos || name + 2 >= stat.size()) return false;
  const char state = stat[name + 2];
  return state != 'Z' && state != 'X';
}

}  // namespace

pid_t FindGame(const std::string& exe) {
  if (exe.empty()) return -1;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return -1;
  pid_t found = -1;
  while (const dirent* entry = ::readdir(proc)) {
    if (isProcessId(entry->d_name) && isGame(entry->d_name, exe) && alive(std::atoi(entry->d_name))) {
      found = std::atoi(entry->d_name);
      break;
    }
  }
  ::closedir(proc);
  return found;
}

bool GameRunning(const std::string& exe) { return FindGame(exe) > 0; }

// Once found, the game is followed by its process number: a start script that
// replaces itself with the real program keeps its number, not its name.
GameWait WaitForGame(const std::string& exe, const WaitBounds& bounds) {
  const auto giveUp = std::chrono::steady_clock::now() + bounds.appear;
  pid_t game = FindGame(exe);
  while (game <= 0) {
    if (std::chrono::steady_clock::now() >= giveUp) return GameWait::NeverSeen;
    std::this_thread::sleep_for(bounds.poll);
    game = FindGame(exe);
  }
  while (alive(game)) std::this_thread::sleep_for(bounds.poll);
  return GameWait::Ended;
}

}  // namespace fdk
