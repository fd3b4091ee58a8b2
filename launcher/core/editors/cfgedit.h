#pragma once
// The player configuration editors' logic: the files of a config set, the lines
// that carry the player's name (and, for Quake 2, model and skin), what SAVE
// writes, and the model and skin choices of the Quake 2 editor.
//
// Config files are plain console scripts that may come from anywhere: they are
// kept byte for byte (Latin-1 as much as UTF-8), read only when they are small
// text files, and written through a temporary file and a rename.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "core/archive/catalogue.h"
#include "core/store/settings.h"

namespace fdk {

// One file of a config set: the name the file chooser shows and where it lies.
struct ConfigSetFile {
  std::string name;  // the file name; for a second file of the same name, its path inside the set
  std::string path;  // the real path, in the set's folder or one of its sub-folders
};

// The set's folder, CFG + ACFG + separator; "" when no set is chosen or the
// name is not one plain folder name (it would reach outside the CFG folder).
std::string ConfigSetFolder(const GameSettings& g);

// Every plain file below the set's folder, sub-folders included, sorted by the
// name shown (letters without case). Hidden files and folders (starting with
// ".") and symbolic links are left out, as the copy into the game leaves them.
// Where two files share a name, the one fewer folders down (or first by its path)
// shows the bare name and the others show their path inside the set, so that each
// can be told apart and opens where it really lies. A missing folder lists nothing.
std::vector<ConfigSetFile> ScanConfigSet(const std::string& setFolder);

// Config files larger than this are not player scripts; they are refused.
inline constexpr std::uint64_t kMaxConfigBytes = 1u << 20;

// The bytes of a config file: a regular file of at most kMaxConfigBytes that
// holds no NUL byte. Anything else is an error that says why.
Result<std::string> ReadConfigFile(const std::string& path);

// The file's lines without their ends. A line ends at CR LF, LF or a lone CR
// (the way the memo shows them); a last line without an end is still a line, and
// nothing after a final line end makes another.
std::vector<std::string> SplitLines(std::string_view text);

// The lines as a file: every line ended by CR LF, the way the games' own
// scripts are written (both games read either).
std::string ConfigFileBytes(const std::vector<std::string>& lines);

// What a line carries, judged by its characters 5 to 8 without case: "NAME"
// (so "set name ..." and "_cl_name ...") or "SKIN" ("set skin ...").
enum class LineKind { Other, Name, Skin };
LineKind KindOfLine(std::string_view line);
// The value of a recognised line: from its character 10 on, at most 255 characters.
std::string ValueOfLine(std::string_view line);

// The fields the editors take out of a file and write back, as bytes.
struct PlayerFields {
  std::string name;
  std::string model;  // Quake 2 only
  std::string skin;   // Quake 2 only
};

// What dodacheckClick does: takes every name line (and for Quake 2 every skin
// line) out of lines and returns the fields, emptied first. Blanks and double
// quotes are removed from the values; a skin value splits into model and skin
// at its first "/" (no "/": all of it is the skin). The walk goes from the last
// line to the first, so the earliest line of a kind fills its field.
//
// Quake also takes a line beginning with "name " (the command a QuakeWorld save
// writes), so that saving replaces it instead of adding one more each time.
PlayerFields TakePlayerLines(std::vector<std::string>& lines, Game game);

// The lines SAVE writes: the kept lines first, then the field lines. Quake 2:
// set name "NAME" and set skin "MODEL/SKIN"; Quake: _cl_name "NAME", or
// name "NAME" with QuakeWorld on. A field line whose values are all empty is
// left out, so that saving a script without a name (an autoexec) never blanks
// the name another script sets. Double quotes and line breaks typed into a
// field are dropped: they would end the quoted value or start a new command.
std::vector<std::string> LinesToSave(const std::vector<std::string>& kept, const PlayerFields& fields, Game game,
                                     bool quakeWorld);

// Writes the lines to path through a temporary file and a rename: a failed
// write leaves the old file as it was.
Status SaveConfigFile(const std::string& path, const std::vector<std::string>& lines);

// The Quake 2 editor's model and skin choices: the models, then every skin
// that has an icon with its model.
struct ModelChoices {
  std::vector<std::string> models;  // "lbmodels": every installed model and chosen pack
  std::vector<ModelSkin> skins;     // "lbmodels2" and "lbskins": each skin, without extension
};

// What bcreatelistClick builds. Installed model M offers each "*.pcx" of
// playersFolder + M whose icon B + "_i.pcx" lies beside it; chosen pack P offers
// every entry of modelStore + P + ".zip" whose file name ends in "_i.pcx", less
// that ending (all of the pack's skins, not only the chosen ones). Names compare
// without case. The archives are listed through zip.
ModelChoices CreateModelChoices(const std::vector<std::string>& installed, const std::vector<std::string>& chosen,
                                const std::string& playersFolder, const std::string& modelStore, Tzipform& zip);

// The skins offered for a model (the skin refill): those whose model equals it.
std::vector<std::string> SkinsOfModel(const ModelChoices& choices, const std::string& model);

// A list for a sorted chooser: sorted with letters compared without case, each
// name once.
std::vector<std::string> SortedChoices(std::vector<std::string> names);

}  // namespace fdk
