#include "core/content/mods.h"

#include <algorithm>

#include "base/files.h"
#include "base/text.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"

namespace fdk {

namespace {

// Descriptions are a few lines of text; anything larger is not one.
constexpr std::uint64_t kMaxDescriptionBytes = 1u << 20;

void addNamesOf(const std::string& folder, const char* pattern, std::vector<std::string>& items) {
  // A file named only ".txt" names no MOD.
  for (const std::string& name : ListFolder(folder, pattern, {EntryKind::Files, false}))
    if (name.size() > 4) items.push_back(withoutLastFour(name));
}

std::optional<std::string> readDescription(const std::string& folder, const std::string& name) {
  std::optional<std::string> path = FindFileNoCase(folder, name);
  if (!path) return std::nullopt;
  Result<std::string> text = readWholeFile(*path, kMaxDescriptionBytes);
  if (!text) return std::nullopt;
  return *text;
}

ModPreview findPreview(const std::string& folder, const std::string& base) {
  if (auto bmp = FindFileNoCase(folder, base + ".bmp")) return {ModPreview::Kind::Bitmap, *bmp};
  for (const char* ext : {".pcx", ".jpg"})
    if (auto other = FindFileNoCase(folder, base + ext)) return {ModPreview::Kind::Convert, *other};
  return {};
}

}  // namespace

std::vector<std::string> ModListItems(const GameSettings& g, Game game) {
  std::vector<std::string> items;
  addNamesOf(g.Patch, "*.txt", items);
  if (game == Game::Quake1) addNamesOf(g.Patch, "*.wat", items);
  std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
  items.insert(items.begin(), kNoneItem);
  return items;
}

std::string ModPreviewBase(const std::string& mod) { return UpperCaseUmlaut(mod) == "ZEUSBOTS" ? "zeusbot" : mod; }

ModChoice ChooseMod(const GameSettings& g, Game game, const std::string& item) {
  ModChoice choice;
  const bool none = item == kNoneItem;
  choice.mod = none ? std::string() : item;
  choice.clearDescription = none;
  if (none) return choice;
  std::optional<std::string> text = readDescription(g.Patch, item + ".txt");
  if (game == Game::Quake1)
    if (auto wat = readDescription(g.Patch, item + ".wat")) text = wat;
  choice.hasDescription = text.has_value();
  choice.description = text.value_or(std::string());
  choice.preview = findPreview(g.Patch, ModPreviewBase(item));
  return choice;
}

std::string ModArchivePath(const Uvars& vars, Game game) {
  const std::string name = ChosenMod(vars, game) + ".zip";
  return FindFileNoCase(vars.game(game).Patch, name).value_or(vars.game(game).Patch + name);
}

}  // namespace fdk
