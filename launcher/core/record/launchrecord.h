#pragma once
// The launch record: every change a launch makes to a game folder, written down
// before the change is made, so that the clean-up tool can put the folder back
// exactly as it was once the game has ended, and can do so even after the
// launcher or the machine stopped half-way.
//
// A record is a text file of lines, each ended by "\n", fields apart by a tab:
//
//   fragdock launch record 1
//   game	<1|2>
//   root	<the game folder, with its trailing separator>
//   folder-id	<device>	<inode>        (which folder the root was: a folder put in its place is another)
//   folder	<path>                       (a folder about to be made)
//   file	<path>                         (a file about to be made)
//   made	<size>	<sec>	<nsec>	<path>      (that file is complete; its stamp)
//   replace	<saved>	<size>	<sec>	<nsec>	<path>   (a file about to be replaced; its
//                                         content and stamp before were saved as <saved>)
//   replaced	<size>	<sec>	<nsec>	<path>  (the replacement is complete; its stamp)
//   remove	<saved>	<size>	<sec>	<nsec>	<path>   (a file about to be removed, saved first)
//   started	<pid>	<start ticks>	<session>   (the game the launch started)
//
// Paths are relative to the root, "/" between names; a byte below 0x20, a "%"
// and DEL are written as "%XX", so a name can never end a line or a field. The
// header is written whole before anything else; each later line is appended
// with one write as a whole line, before the change it describes. A last line
// without its line end was cut off by a crash and is ignored: the change it
// announced was never begun.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

#include "base/result.h"

namespace fdk {

// What a file looked like: a file whose size or modification time differs
// later was changed by someone else (the game, the player).
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

// A file's stamp from what the system says of it.
FileStamp StampOf(const struct stat& info);

// A running program as the system knows it: its number, when it started (in
// clock ticks since boot, which tells a reused number apart) and its session.
struct ProcessIdentity {
  pid_t pid = -1;
  std::uint64_t startTicks = 0;
  pid_t session = -1;
  bool operator==(const ProcessIdentity&) const = default;
};

struct RecordedChange {
  enum class Kind {
    Folder,   // made by the launch
    File,     // made by the launch (did not exist before)
    Replace,  // an existing file replaced; its earlier content is in `saved`
    Remove,   // an existing file removed; its content is in `saved`
  };
  Kind kind = Kind::File;
  std::string path;                // relative to the root, never empty, "." or ".."-free
  std::string saved;               // Replace, Remove: the saved copy's name in the record's saved folder
  FileStamp before;                // Replace, Remove: the file's stamp before the change
  std::optional<FileStamp> after;  // File, Replace: the stamp once written; none when the launch stopped first
  bool operator==(const RecordedChange&) const = default;
};

struct LaunchRecord {
  char game = '0';  // '1' Quake, '2' Quake 2
  std::string root;
  std::uint64_t rootDevice = 0;
  std::uint64_t rootInode = 0;
  std::vector<RecordedChange> changes;  // in the order they were made
  std::optional<ProcessIdentity> started;
};

inline constexpr std::string_view kRecordHeader = "fragdock launch record 1";

// The text of a record's header lines (up to "folder-id").
std::string FormatRecordHeader(const LaunchRecord& record);

// One line, with its line end: a change announced, a change completed, the game.
std::string FormatChangeLine(const RecordedChange& change);        // folder, file, replace, remove
std::string FormatAfterLine(const RecordedChange& change);         // made (File) or replaced (Replace)
std::string FormatStartedLine(const ProcessIdentity& game);

// A whole record as the lines above would have written it.
std::string FormatRecord(const LaunchRecord& record);

// Reads a record back. The "made" and "replaced" lines complete the last
// announced change of their path. An unterminated last line is ignored. A
// text that is not a record, a line that cannot be read, or a path that is
// absolute, empty or holds a "." or ".." part is an error: a damaged record
// is never acted on.
Result<LaunchRecord> ParseRecord(std::string_view text);

// A path below the root that can be walked one name at a time.
bool IsSafeRecordPath(std::string_view path);

// The fields of a tab-separated line, for other files kept in the same way:
// bytes that would end a field or a line (controls, "%") are written as %XX.
std::string EncodeRecordField(std::string_view text);
// Nothing for a broken escape.
std::optional<std::string> DecodeRecordField(std::string_view field);
std::vector<std::string_view> SplitRecordFields(std::string_view line);

}  // namespace fdk
