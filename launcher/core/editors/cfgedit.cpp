#include "core/editors/cfgedit.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "base/files.h"
#include "base/pathsplit.h"
#include "base/text.h"
#include "core/content/models.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/store/storedtext.h"

namespace fdk {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxValueChars = 255;

bool isHidden(const fs::path& path) {
  const std::string name = path.filename().string();
  return !name.empty() && name.front() == '.';
}

struct FoundFile {
  std::string relative;  // below the set's folder, "/" between folders
  std::string path;
  std::size_t depth;
};

std::vector<FoundFile> walkSet(const std::string& setFolder) {
  std::vector<FoundFile> found;
  std::error_code ec;
  // Links to folders are not followed, so a loop of links cannot trap the walk.
  fs::recursive_directory_iterator it(setFolder, fs::directory_options::none, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    std::error_code kindError;
    if (isHidden(entry.path())) {
      if (entry.is_directory(kindError)) it.disable_recursion_pending();
      continue;
    }
    if (entry.is_symlink(kindError) || !entry.is_regular_file(kindError)) continue;
    // The walk builds every path on the folder as given, so what follows it is the path inside the set.
    std::string path = entry.path().string();
    std::string relative = path.starts_with(setFolder) ? path.substr(setFolder.size())
                                                       : entry.path().lexically_relative(setFolder).generic_string();
    found.push_back({std::move(relative), std::move(path), static_cast<std::size_t>(it.depth())});
  }
  return found;
}

// The name a file shows: its bare name for the first of that name (fewest
// folders down, then by path), its path inside the set for any other.
std::vector<ConfigSetFile> nameFiles(std::vector<FoundFile> found) {
  std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) {
    return a.depth != b.depth ? a.depth < b.depth : a.relative < b.relative;
  });
  std::set<std::string> taken;
  std::vector<ConfigSetFile> files;
  for (FoundFile& file : found) {
    std::string name = fileNamePart(file.relative);
    if (!taken.insert(name).second) name = file.relative;
    files.push_back({std::move(name), std::move(file.path)});
  }
  return files;
}

// The first `limit` characters of text: code points where the text is UTF-8,
// bytes where it is not (Latin-1 has one byte per character).
std::string firstCharacters(std::string_view text, std::size_t limit) {
  if (!IsValidUtf8(text)) return std::string(text.substr(0, limit));
  std::size_t end = 0, count = 0;
  while (end < text.size() && count < limit) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    ++count;
  }
  return std::string(text.substr(0, end));
}

std::string withoutBlanksAndQuotes(std::string value) {
  std::erase_if(value, [](char c) { return c == ' ' || c == '"'; });
  return value;
}

// What a typed field may carry into a quoted console value.
std::string safeForQuotes(std::string value) {
  std::erase_if(value, [](char c) { return c == '"' || c == '\r' || c == '\n'; });
  return value;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsNoCase(text.substr(0, prefix.size()), prefix);
}

// The command a QuakeWorld save writes, which the character rule does not see.
constexpr std::string_view kPlainNameCommand = "name ";

void takeSkin(const std::string& value, PlayerFields& fields) {
  const std::size_t slash = value.find('/');
  if (slash == std::string::npos) {
    fields.model.clear();
    fields.skin = value;
  } else {
    fields.model = value.substr(0, slash);
    fields.skin = value.substr(slash + 1);
  }
}

// Takes line into the fields when it is one of the game's player lines.
bool takeLine(const std::string& line, Game game, PlayerFields& fields) {
  switch (KindOfLine(line)) {
    case LineKind::Name: fields.name = withoutBlanksAndQuotes(ValueOfLine(line)); return true;
    case LineKind::Skin:
      if (game != Game::Quake2) break;
      takeSkin(withoutBlanksAndQuotes(ValueOfLine(line)), fields);
      return true;
    case LineKind::Other: break;
  }
  if (game == Game::Quake1 && startsWithNoCase(line, kPlainNameCommand)) {
    std::string_view rest = std::string_view(line).substr(kPlainNameCommand.size());
    fields.name = withoutBlanksAndQuotes(firstCharacters(rest, kMaxValueChars));
    return true;
  }
  return false;
}

void addSkins(const std::string& model, const std::vector<std::string>& skins, ModelChoices& choices) {
  for (const std::string& skin : skins) choices.skins.push_back({model, skin});
}

}  // namespace

std::string ConfigSetFolder(const GameSettings& g) {
  if (g.ACFG.empty() || !IsPlainFolderName(g.ACFG)) return {};
  return withTrailingSep(g.CFG) + g.ACFG + "/";
}

std::vector<ConfigSetFile> ScanConfigSet(const std::string& setFolder) {
  if (setFolder.empty()) return {};
  std::vector<ConfigSetFile> files = nameFiles(walkSet(setFolder));
  std::sort(files.begin(), files.end(), [](const ConfigSetFile& a, const ConfigSetFile& b) {
    if (lessNoCase(a.name, b.name)) return true;
    return !lessNoCase(b.name, a.name) && a.name < b.name;
  });
  return files;
}

Result<std::string> ReadConfigFile(const std::string& path) {
  Result<std::string> bytes = readWholeFile(path, kMaxConfigBytes);
  if (!bytes) return bytes;
  if (bytes->find('\0') != std::string::npos)
    return Error("\"" + fileNamePart(path) + "\" is not a text file", path + ": holds NUL bytes");
  return bytes;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

std::string ConfigFileBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

LineKind KindOfLine(std::string_view line) {
  if (line.size() < 8) return LineKind::Other;
  // Only ASCII letters can make "NAME" or "SKIN", so ASCII folding decides
  // exactly as the umlaut-aware upper-casing would.
  std::string word(line.substr(4, 4));
  for (char& c : word) c = upperAscii(c);
  if (word == "NAME") return LineKind::Name;
  if (word == "SKIN") return LineKind::Skin;
  return LineKind::Other;
}

std::string ValueOfLine(std::string_view line) {
  if (line.size() <= 9) return {};
  return firstCharacters(line.substr(9), kMaxValueChars);
}

PlayerFields TakePlayerLines(std::vector<std::string>& lines, Game game) {
  PlayerFields fields;
  for (std::size_t i = lines.size(); i-- > 0;)
    if (takeLine(lines[i], game, fields)) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
  return fields;
}

std::vector<std::string> LinesToSave(const std::vector<std::string>& kept, const PlayerFields& fields, Game game,
                                     bool quakeWorld) {
  std::vector<std::string> lines = kept;
  const std::string name = safeForQuotes(fields.name);
  if (game == Game::Quake2) {
    const std::string model = safeForQuotes(fields.model), skin = safeForQuotes(fields.skin);
    if (!name.empty()) lines.push_back("set name \"" + name + "\"");
    if (!model.empty() || !skin.empty()) lines.push_back("set skin \"" + model + "/" + skin + "\"");
  } else if (!name.empty()) {
    lines.push_back((quakeWorld ? "name \"" : "_cl_name \"") + name + "\"");
  }
  return lines;
}

Status SaveConfigFile(const std::string& path, const std::vector<std::string>& lines) {
  return writeFileAtomically(path, ConfigFileBytes(lines));
}

ModelChoices CreateModelChoices(const std::vector<std::string>& installed, const std::vector<std::string>& chosen,
                                const std::string& playersFolder, const std::string& modelStore, Tzipform& zip) {
  ModelChoices choices;
  for (const std::string& model : installed) {
    choices.models.push_back(model);
    if (IsPlainFolderName(model)) addSkins(model, IconSkinsOfModel(playersFolder + model + "/"), choices);
  }
  for (const std::string& pack : chosen) {
    choices.models.push_back(pack);
    if (zip.ListArchive(PackArchivePath(modelStore, pack))) addSkins(pack, IconSkinsOfPack(zip), choices);
  }
  return choices;
}

std::vector<std::string> SkinsOfModel(const ModelChoices& choices, const std::string& model) {
  std::vector<std::string> skins;
  for (const ModelSkin& pair : choices.skins)
    if (pair.model == model) skins.push_back(pair.skin);
  return skins;
}

std::vector<std::string> SortedChoices(std::vector<std::string> names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    if (lessNoCase(a, b)) return true;
    return !lessNoCase(b, a) && a < b;
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace fdk
