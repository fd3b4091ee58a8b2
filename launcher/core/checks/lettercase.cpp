#include "core/checks/lettercase.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>

#include "base/files.h"
#include "base/text.h"
#include "base/uniquefd.h"
#include "core/checks/gamefiles.h"
#include "core/launch/commandpreview.h"
#include "core/platform/listing.h"
#include "core/platform/paths.h"
#include "core/record/launchrecord.h"

namespace fdk {

namespace {

// A record holds a few lines per fix; anything this large is not one of ours.
constexpr std::uint64_t kRecordLimit = 1 << 20;

std::string why(int error) { return std::strerror(error); }

// The game folder as the player named it (a link on the way there is the
// player's own), then the one folder below it without following a link.
Result<UniqueFd> openFolder(const std::string& gameFolder, const std::string& folder) {
  UniqueFd game(::open(gameFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (game.get() < 0) return Error{"the game folder " + gameFolder + " cannot be opened: " + why(errno)};
  if (folder.empty()) return game;
  if (!IsPlainFolderName(folder)) return Error{ErrorKind::Unsafe, folder + " is not a folder of the game folder"};
  UniqueFd below(::openat(game.get(), folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (below.get() >= 0) return below;
  if (errno == ELOOP || errno == ENOTDIR) return Error{ErrorKind::Unsafe, folder + " is a symbolic link or not a folder"};
  return Error{folder + " cannot be opened: " + why(errno)};
}

Status renameIn(const std::string& gameFolder, const std::string& folder, const std::string& from,
                const std::string& to) {
  if (!IsPlainFolderName(from) || !IsPlainFolderName(to)) return Error{ErrorKind::Unsafe, "not a plain name"};
  Result<UniqueFd> dir = openFolder(gameFolder, folder);
  if (!dir) return dir.error();
  struct stat st {};
  if (::fstatat(dir->get(), from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return Error{"it is not there any more"};
  if (S_ISLNK(st.st_mode)) return Error{ErrorKind::Unsafe, "it is a symbolic link"};
  if (::renameat2(dir->get(), from.c_str(), dir->get(), to.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno == EEXIST) return Error{to + " is there already"};
  if (errno == EINVAL) return Error{"this file system cannot rename without the risk of replacing " + to};
  return Error{why(errno)};
}

std::string shown(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

// Record lines: game folder, folder, old name, new name, separated by tabs,
// written as the launch record writes its fields.
struct RecordLine {
  std::string gameFolder;
  Rename rename;
};

std::string lineOf(const RecordLine& line) {
  return EncodeRecordField(line.gameFolder) + "\t" + EncodeRecordField(line.rename.folder) + "\t" +
         EncodeRecordField(line.rename.from) + "\t" + EncodeRecordField(line.rename.to) + "\n";
}

std::optional<RecordLine> parseLine(std::string_view text) {
  std::vector<std::string> fields;
  for (std::string_view field : SplitRecordFields(text)) {
    std::optional<std::string> decoded = DecodeRecordField(field);
    if (!decoded) return std::nullopt;
    fields.push_back(std::move(*decoded));
  }
  if (fields.size() != 4) return std::nullopt;
  return RecordLine{fields[0], {fields[1], fields[2], fields[3]}};
}

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

Status appendToRecord(const std::string& recordPath, const RecordLine& line) {
  std::ofstream out(recordPath, std::ios::app | std::ios::binary);
  out << lineOf(line);
  out.flush();
  if (!out) return Error{"the record " + recordPath + " cannot be written"};
  return {};
}

}  // namespace

std::vector<Rename> LetterCasePlan(const Uvars& vars, Game game, Tzipform& zip) {
  const std::string& path = vars.game(game).Path;
  std::vector<Rename> plan;
  std::vector<std::pair<std::string, std::string>> pakFolders;  // as on disk now, and after the renames
  auto spellAs = [&](const std::string& wanted, bool rename) {
    const std::optional<std::string> onDisk = FindNameNoCase(path, wanted, EntryKind::Folders);
    if (!onDisk) return;
    if (rename && *onDisk != wanted) plan.push_back({"", *onDisk, wanted});
    pakFolders.emplace_back(*onDisk, rename ? wanted : *onDisk);
  };
  spellAs(BaseFolderName(game), true);
  if (game == Game::Quake1 && IsPlainFolderName(vars.q1mod)) spellAs(vars.q1mod, true);
  // A Quake 2 MOD is started with its folder's spelling on disk, whatever it is.
  if (game == Game::Quake2)
    if (const std::string folder = Q2ModGameFolderNow(vars, zip); IsPlainFolderName(folder)) spellAs(folder, false);
  for (const auto& [now, after] : pakFolders)
    for (const PakFile& pak : PakFilesIn(path + now + "/"))
      if (pak.name != lowerAsciiCopy(pak.name)) plan.push_back({after, pak.name, lowerAsciiCopy(pak.name)});
  return plan;
}

RenameRun FixLetterCase(const std::vector<Rename>& plan, const std::string& gameFolder, const std::string& recordPath) {
  RenameRun run;
  for (const Rename& r : plan) {
    if (Status done = renameIn(gameFolder, r.folder, r.from, r.to); !done) {
      run.left.skip(shown(r.folder, r.from), done.error().text);
      continue;
    }
    run.renamed.push_back(r);
    if (Status noted = appendToRecord(recordPath, {gameFolder, r}); !noted)
      run.left.skip(shown(r.folder, r.to), "renamed, but " + noted.error().text + ", so it cannot be put back from here");
  }
  return run;
}

RenameRun UndoLetterCase(const std::string& recordPath) {
  RenameRun run;
  if (!entryExists(recordPath)) return run;
  Result<std::string> text = readWholeFile(recordPath, kRecordLimit);
  if (!text) {
    run.left.skip(recordPath, text.error().text);
    return run;
  }
  const std::vector<std::string> lines = linesOf(*text);
  std::string kept;
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    const std::optional<RecordLine> recorded = parseLine(*line);
    Status back = recorded ? renameIn(recorded->gameFolder, recorded->rename.folder, recorded->rename.to,
                                      recorded->rename.from)
                           : Status(Error{ErrorKind::Damaged, "the line cannot be read"});
    if (back) {
      run.renamed.push_back({recorded->rename.folder, recorded->rename.to, recorded->rename.from});
      continue;
    }
    run.left.skip(recorded ? shown(recorded->rename.folder, recorded->rename.to) : *line, back.error().text);
    kept.insert(0, *line + "\n");
  }
  if (kept.empty() ? std::remove(recordPath.c_str()) != 0 : !writeFileAtomically(recordPath, kept))
    run.left.skip(recordPath, "the record could not be brought up to date");
  return run;
}

std::string LetterCaseRecordPath(const Uvars& vars, Game game) {
  return withTrailingSep(vars.stateFolder()) + "lettercase-" + TraitsOf(game).number + ".record";
}

std::string RenameRunText(const RenameRun& run, bool undo) {
  std::string text;
  if (!run.renamed.empty()) {
    std::vector<std::string> steps;
    for (const Rename& r : run.renamed) steps.push_back(shown(r.folder, r.from) + " to " + r.to);
    text = (undo ? "Put back: " : "Renamed: ") + joinedText(steps) + ".";
  }
  if (!run.left.empty()) text += (text.empty() ? "" : "\n") + std::string("Left as they are:\n") + run.left.text();
  if (text.empty()) text = undo ? "Nothing was left to put back." : "Nothing needed renaming.";
  return text;
}

}  // namespace fdk
