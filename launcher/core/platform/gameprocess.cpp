#include "core/platform/gameprocess.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

#include <dirent.h>

#include "base/files.h"

namespace fdk {

namespace {

// The fields of /proc/<pid>/stat that tell a process apart. The program's
// name (the second field) is in parentheses and may hold blanks and ")", so
// the fields are counted from its last ")".
struct StatFields {
  char state = '?';  // "Z": ended, only waiting for its parent to collect it
  pid_t session = -1;
  std::uint64_t startTicks = 0;
};

std::optional<StatFields> readStat(pid_t pid) {
  Result<std::string> text = readWholeFile("/proc/" + std::to_string(pid) + "/stat", 4096);
  if (!text) return std::nullopt;
  const std::size_t close = text->rfind(')');
  if (close == std::string::npos) return std::nullopt;
  // After ")": state(3) ppid(4) pgrp(5) session(6) ... starttime(22).
  std::string_view rest = std::string_view(*text).substr(close + 1);
  StatFields fields;
  int field = 2;
  while (!rest.empty()) {
    const std::size_t begin = rest.find_first_not_of(' ');
    if (begin == std::string_view::npos) break;
    rest.remove_prefix(begin);
    const std::size_t end = std::min(rest.find(' '), rest.size());
    const std::string_view word = rest.substr(0, end);
    ++field;
    if (field == 3) fields.state = word.front();
    if (field == 6 && std::from_chars(word.data(), word.data() + word.size(), fields.session).ec != std::errc())
      return std::nullopt;
    if (field == 22) {
      if (std::from_chars(word.data(), word.data() + word.size(), fields.startTicks).ec != std::errc())
        return std::nullopt;
      return fields;
    }
    rest.remove_prefix(end);
  }
  return std::nullopt;
}

bool isNumber(const char* name) {
  if (*name == '\0') return false;
  for (; *name != '\0'; ++name)
    if (*name < '0' || *name > '9') return false;
  return true;
}

}  // namespace

std::optional<ProcessIdentity> IdentifyProcess(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  const std::optional<StatFields> stat = readStat(pid);
  if (!stat) return std::nullopt;
  return ProcessIdentity{pid, stat->startTicks, stat->session};
}

bool SessionRuns(const ProcessIdentity& game) {
  if (game.session <= 0) return false;
  // The number given to another program since: the game's session is over.
  if (const std::optional<StatFields> leader = readStat(game.session);
      leader && game.session == game.pid && leader->startTicks != game.startTicks)
    return false;
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return false;
  bool runs = false;
  while (const dirent* entry = ::readdir(proc)) {
    if (!isNumber(entry->d_name)) continue;
    pid_t pid = 0;
    std::from_chars(entry->d_name, entry->d_name + std::char_traits<char>::length(entry->d_name), pid);
    const std::optional<StatFields> stat = readStat(pid);
    // A process of the session that started before the game is not of it: the
    // number named another session then.
    if (stat && stat->state != 'Z' && stat->session == game.session && stat->startTicks >= game.startTicks) {
      runs = true;
      break;
    }
  }
  ::closedir(proc);
  return runs;
}

}  // namespace fdk
