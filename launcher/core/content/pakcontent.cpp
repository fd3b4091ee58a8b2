#include "core/content/pakcontent.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <functional>
#include <span>
#include <system_error>

#include "base/files.h"
#include "base/pathsplit.h"
#include "base/text.h"
#include "core/archive/catalogue.h"
#include "core/content/mods.h"
#include "core/placement/placement.h"
#include "core/games/games.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/platform/util.h"
#include "formats/pak.h"
#include "formats/source.h"

namespace fdk {

namespace fs = std::filesystem;

namespace {

// A content file holds a few thousand names at most; anything far larger is
// not one of ours. The most we write (every map of the limit with the longest
// name a PAK entry can hold) stays well below it.
constexpr std::uint64_t kMaxContentBytes = 16u << 20;
static_assert(kPakContentHeader.size() + 2 + 20 + 2 + kMaxMapsPerPak * (formats::kPakNameSize + 2) < kMaxContentBytes);

constexpr std::string_view kLineEnd = "\r\n";

struct PakMaps {
  std::vector<std::string> names;
  bool more = false;  // the PAK holds more maps than the limit; only the first are in names
};

// A name with a control character would break the content file's lines.
bool printable(std::string_view name) {
  return !name.empty() &&
         std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::optional<std::uint64_t> parseSize(std::string_view text) {
  std::uint64_t value = 0;
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

// What lies where a PAK's content file goes. Only a file whose first line is
// our header is ours: anything else is the player's, and is neither used,
// replaced nor removed.
struct ContentFile {
  enum Kind { Missing, Valid, Stale, Foreign } kind = Missing;
  std::vector<std::string> names;  // a valid file's maps
};

bool startsWithHeader(const std::string& path) {
  auto file = formats::InputFile::open(path);
  if (!file) return false;
  std::string first(std::min<std::uint64_t>(file->size(), kPakContentHeader.size() + 1), '\0');
  if (!file->read(0, std::span(reinterpret_cast<std::uint8_t*>(first.data()), first.size()))) return false;
  return first.starts_with(kPakContentHeader) &&
         (first.size() == kPakContentHeader.size() || first.back() == '\r' || first.back() == '\n');
}

ContentFile readContent(const std::string& path, std::uint64_t size) {
  if (!entryExists(path)) return {};
  if (!startsWithHeader(path)) return {ContentFile::Foreign, {}};
  // Ours, but larger than we ever write or unreadable: as stale as a wrong size.
  Result<std::string> text = readWholeFile(path, kMaxContentBytes);
  if (!text) return {ContentFile::Stale, {}};
  const std::vector<std::string_view> lines = splitLines(*text);
  if (lines.size() < 2 || parseSize(lines[1]) != size) return {ContentFile::Stale, {}};
  ContentFile valid{ContentFile::Valid, {}};
  for (std::size_t i = 2; i < lines.size(); ++i)
    if (!lines[i].empty()) valid.names.emplace_back(lines[i]);
  return valid;
}

std::optional<std::uint64_t> sizeOf(const std::string& path) {
  std::error_code ec;
  const std::uint64_t size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  return size;
}

// Reads the header and the directory only: a PAK of a gigabyte costs what its
// directory holds. A file that is no PAK, or whose directory runs past its
// end, is damaged: none of its names can be trusted. The walk stops at the
// first map past the limit, so a crafted directory of millions costs no more
// memory than a real one.
Result<PakMaps> readPakMaps(const std::string& pak, Game game) {
  auto file = formats::InputFile::open(pak);
  if (!file) return file.error();
  std::array<std::uint8_t, 4> magic{};
  if (!file->read(0, magic) || std::string_view(reinterpret_cast<const char*>(magic.data()), 4) != "PACK")
    return Error{pak + ": not a PAK archive", "expected \"PACK\" at its start"};
  auto range = formats::locatePakDirectory(file.value(), pak);
  if (!range) return range.error();
  if (range->truncated) return Error{pak + ": its directory runs past the end of the file"};
  PakMaps maps;
  const bool read = formats::walkPakDirectory(file.value(), range.value(), [&](const formats::PakEntry& entry) {
    std::string name = PakEntryMapName(entry.name);
    if (!printable(name) || !OfferedMap(name, game)) return true;
    maps.more = maps.names.size() == kMaxMapsPerPak;
    if (!maps.more) maps.names.push_back(std::move(name));
    return !maps.more;
  });
  if (!read) return Error{pak + ": its directory cannot be read"};
  return maps;
}

}  // namespace

std::string PakContentPath(const std::string& pak) {
  const std::size_t dot = pak.rfind('.');
  return (dot == std::string::npos ? pak + "." : pak.substr(0, dot + 1)) + "fdk";
}

std::string PakEntryMapName(std::string_view entry) {
  if (entry.size() < 4 || UpperCaseUmlaut(entry.substr(0, 4)) != "MAPS") return {};
  if (entry.find(".bsp") == std::string_view::npos) return {};
  const std::string_view rest = entry.size() > 5 ? entry.substr(5) : std::string_view();
  return std::string(rest.substr(0, rest.find('.')));
}

bool OfferedMap(std::string_view name, Game game) {
  return game == Game::Quake2 || name.size() < 2 || UpperCaseUmlaut(name.substr(0, 2)) != "B_";
}

std::string PakContentText(std::uint64_t size, const std::vector<std::string>& names) {
  std::string text = std::string(kPakContentHeader) + std::string(kLineEnd) + std::to_string(size) +
                     std::string(kLineEnd);
  for (const std::string& name : names) text += name + std::string(kLineEnd);
  return text;
}

namespace {

void findPaksIn(const std::string& folder, std::vector<std::string>& paks) {
  std::vector<std::string> files, folders;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code kindError;
    if (fs::is_directory(it->symlink_status(kindError))) folders.push_back(folder + name + kSep);
    else if (endsWithNoCase(name, ".pak") && it->is_regular_file(kindError)) files.push_back(folder + name);
  }
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return lessNoCase(a, b); });
  std::sort(folders.begin(), folders.end(), [](const auto& a, const auto& b) { return lessNoCase(a, b); });
  paks.insert(paks.end(), files.begin(), files.end());
  for (const std::string& sub : folders) findPaksIn(sub, paks);
}

}  // namespace

std::vector<std::string> FindPaks(const std::string& folder) {
  std::vector<std::string> paks;
  findPaksIn(withTrailingSep(folder), paks);
  return paks;
}

PakLister::~PakLister() {
  if (scanning_) host_.ScanEnds();
}

// The question is asked once per run; the scan window shows from the first
// PAK listed until the fill ends.
bool PakLister::mayList() {
  if (state_.listing == RunAnswer::Ask)
    state_.listing = host_.Ask(kPakListingQuestion) ? RunAnswer::Yes : RunAnswer::No;
  if (state_.listing != RunAnswer::Yes) return false;
  if (!scanning_) host_.ScanBegins();
  scanning_ = true;
  return true;
}

bool PakLister::listMaps(const std::string& pak, Game game, std::vector<std::string>& names) {
  Result<PakMaps> maps = readPakMaps(pak, game);
  if (maps) {
    if (maps->more)
      tooMany_.skip(pak, "it holds more than " + std::to_string(kMaxMapsPerPak) +
                             " maps, more than any real PAK; only the first " + std::to_string(kMaxMapsPerPak) +
                             " are listed");
    names = std::move(maps->names);
    return true;
  }
  const std::string key = pak + '\n' + std::to_string(sizeOf(pak).value_or(0));
  if (state_.toldDamaged.insert(key).second) damaged_.skip(pak, maps.error().text);
  return false;
}

// The names stay in memory for the run when the file cannot be written.
void PakLister::keepInMemory(const std::string& pak, std::uint64_t size, const std::vector<std::string>& names,
                             const std::string& why) {
  if (!state_.unwritable.contains(pak)) unwritable_.skip(PakContentPath(pak), why);
  state_.unwritable[pak] = {size, names};
}

void PakLister::saveContent(const std::string& pak, std::uint64_t size, const std::vector<std::string>& names) {
  const std::string text = PakContentText(size, names);
  // Never a file that its own reader would refuse and so list again at every drop-down.
  if (text.size() > kMaxContentBytes)
    return keepInMemory(pak, size, names,
                        "it would be " + std::to_string(text.size()) + " bytes, more than the " +
                            std::to_string(kMaxContentBytes) + " a content file may have");
  Status saved = writeFileAtomically(PakContentPath(pak), text);
  if (saved) {
    state_.unwritable.erase(pak);
    return;
  }
  keepInMemory(pak, size, names, saved.error().text);
}

std::vector<std::string> PakLister::GetPakContent(const std::string& pak, Game game) {
  const std::optional<std::uint64_t> size = sizeOf(pak);
  if (!size) return {};
  if (auto known = state_.unwritable.find(pak); known != state_.unwritable.end() && known->second.size == *size)
    return known->second.names;
  ContentFile content = readContent(PakContentPath(pak), *size);
  if (content.kind == ContentFile::Valid) return std::move(content.names);
  // A stale file of ours goes, so that it cannot be read as valid later.
  if (content.kind == ContentFile::Stale) removeFile(PakContentPath(pak));
  std::vector<std::string> names;
  if (!mayList() || !listMaps(pak, game, names)) return {};
  if (content.kind == ContentFile::Foreign)
    keepInMemory(pak, *size, names,
                 "it is not a content file of Fragdock (its first line differs), so it was left as it is");
  else saveContent(pak, *size, names);
  return names;
}

std::vector<std::string> PakLister::GetPakContentTmp(const std::string& pak, Game game) {
  if (auto known = state_.modPakCache.find(pak); known != state_.modPakCache.end()) return known->second;
  std::vector<std::string> names;
  if (!mayList() || !listMaps(pak, game, names)) return {};
  state_.modPakCache[pak] = names;
  return names;
}

namespace {

struct FillRun {
  const MapChoiceRequest& request;
  PakContentState& state;
  PakContentHost& host;
  PakLister lister;
  MapChoice out;

  void add(const std::vector<std::string>& names) {
    out.items.insert(out.items.end(), names.begin(), names.end());
    if (request.game == Game::Quake2) out.mapsLst.insert(out.mapsLst.end(), names.begin(), names.end());
  }
};

bool mayExtract(PakContentState& state, PakContentHost& host) {
  if (state.modPak == RunAnswer::Ask) state.modPak = host.Ask(kModPakQuestion) ? RunAnswer::Yes : RunAnswer::No;
  return state.modPak == RunAnswer::Yes;
}

// The archive by path and last change, so that a MOD archive replaced under
// the same name counts as another one.
std::string archiveStamp(const std::string& archive) {
  std::error_code ec;
  const auto changed = fs::last_write_time(archive, ec).time_since_epoch().count();
  return archive + '\n' + std::to_string(changed);
}

// Puts entry `index` of the MOD's archive into paktemp unless the same entry
// is already there; gives its path there, or "" when it did not arrive.
std::string extractModPak(FillRun& run, Tzipform& zip, std::size_t index) {
  const ArchiveRecord& record = zip.record(index);
  const std::string paktemp = run.request.scratchFolder + "paktemp" + kSep;
  const std::string source = archiveStamp(run.request.modArchive) + '\n' + record.name + '\n' +
                             std::to_string(record.size);
  std::optional<std::string> there = FindFileNoCase(paktemp, fileNamePartAnySeparator(record.name));
  if (there) {
    const auto from = run.state.paktempSource.find(*there);
    if (from != run.state.paktempSource.end() && from->second == source && sizeOf(*there) == record.size) return *there;
    // Gone before the extraction, so that a failed one cannot leave the old
    // PAK to be listed under the new MOD's name.
    run.state.paktempSource.erase(*there);
    removeFile(*there);
  }
  run.state.modPakCache.clear();
  Result<Placement> placement = Placement::Open(paktemp);
  if (!placement) return {};
  (void)zip.ExtractEntry(index, placement.value(), false, true);
  there = FindFileNoCase(paktemp, fileNamePartAnySeparator(record.name));
  if (!there) return {};
  // The content file beside it described whatever PAK was there before.
  removeFile(PakContentPath(*there));
  run.state.paktempSource[*there] = source;
  return *there;
}

void addModArchive(FillRun& run, Tzipform& zip) {
  if (!zip.ListArchive(run.request.modArchive)) return;
  for (std::size_t i = 0; i < zip.size(); ++i) {
    const ArchiveRecord& record = zip.record(i);
    if (record.isFolder || record.isLink) continue;
    const std::string file = fileNamePartAnySeparator(record.name);
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos) continue;
    const std::string extension = UpperCaseUmlaut(file.substr(dot + 1));
    if (extension == "BSP" && dot > 0) run.add({file.substr(0, dot)});
    if (extension != "PAK" || !mayExtract(run.state, run.host)) continue;
    const std::string pak = extractModPak(run, zip, i);
    if (pak.empty()) continue;
    run.add(run.request.game == Game::Quake2 ? run.lister.GetPakContent(pak, Game::Quake2)
                                             : run.lister.GetPakContentTmp(pak, Game::Quake1));
  }
}

}  // namespace

MapChoiceRequest MapChoiceRequestFor(const Uvars& vars, Game game) {
  MapChoiceRequest request;
  request.game = game;
  request.gameFolder = vars.game(game).Path;
  request.scratchFolder = vars.scratchFolder();
  const std::string& mod = ChosenMod(vars, game);
  if (!mod.empty()) request.modArchive = ModArchivePath(vars, game);
  request.installed = vars.maps(game).installed;
  request.chosen = vars.maps(game).chosen;
  return request;
}

MapChoice FillMapChoice(const MapChoiceRequest& request, PakContentState& state, Tzipform& zip, PakContentHost& host) {
  FillRun run{request, state, host, PakLister(state, host), {}};
  run.add(request.installed);
  run.add(request.chosen);
  if (std::optional<std::string> base = BaseFolderOnDisk(request.gameFolder, request.game))
    for (const std::string& pak : FindPaks(*base)) run.add(run.lister.GetPakContent(pak, request.game));
  if (!request.modArchive.empty()) addModArchive(run, zip);
  std::stable_sort(run.out.items.begin(), run.out.items.end(),
                   [](const std::string& a, const std::string& b) { return lessNoCase(a, b); });
  if (request.game == Game::Quake2) state.q2MapsLst = run.out.mapsLst;
  run.out.damaged = run.lister.damaged();
  run.out.unwritable = run.lister.unwritable();
  run.out.tooMany = run.lister.tooMany();
  return std::move(run.out);
}

}  // namespace fdk
