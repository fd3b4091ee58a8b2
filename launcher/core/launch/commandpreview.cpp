#include "core/launch/commandpreview.h"

#include <algorithm>

#include "core/archive/catalogue.h"
#include "core/content/mods.h"
#include "core/install/modinstall.h"
#include "core/launch/launch.h"
#include "core/platform/listing.h"
#include "core/platform/processes.h"
#include "core/store/settings.h"

namespace fdk {

namespace {

bool isShellPlain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("%+,-./:=@_").find(c) != std::string_view::npos;
}

std::string shellWord(const std::string& word) {
  if (!word.empty() && std::all_of(word.begin(), word.end(), isShellPlain)) return word;
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

// The install names the archive's folder, spelled as a folder of the game folder already is.
std::string Q2ModGameFolderNow(const Uvars& vars, Tzipform& zip) {
  if (vars.q2mod.empty() || !zip.ListArchive(ModArchivePath(vars, Game::Quake2))) return {};
  const std::string folder = ModGameFolderOf(zip);
  if (folder.empty()) return folder;
  return FindNameNoCase(vars.q2.Path, folder, EntryKind::Folders).value_or(folder);
}

std::string ShellCommandText(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + shellWord(word);
  return text;
}

std::vector<std::string> StartWords(const Uvars& vars, Game game, Tzipform& zip) {
  Uvars now = vars;
  if (game == Game::Quake2) now.modGameFolder = Q2ModGameFolderNow(vars, zip);
  std::vector<std::string> words = SplitCommandLine(CommandLine(now, game));
  if (!words.empty()) words.front() = ResolveProgram(words.front(), vars.game(game).Path);
  return words;
}

std::string CommandPreview(const Uvars& vars, Game game, Tzipform& zip) {
  return ShellCommandText(StartWords(vars, game, zip));
}

}  // namespace fdk
