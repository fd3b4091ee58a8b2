#pragma once
// The clean-up tool's journal: what one launch installed into the game folder,
// kept in the program folder while the game runs, so that a run that is
// killed half-way can be finished by the next one.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace fdk {

// What a file looked like when it was recorded: a file whose size or
// modification time differs later was changed by the game or the player.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t seconds = 0;
  std::int64_t nanoseconds = 0;
  bool operator==(const FileStamp&) const = default;
};

struct JournalFile {
  std::string path;  // relative to the game folder
  FileStamp stamp;
  // Present before the current launch (listed in its "list.f") but installed by
  // an earlier one whose clean-up was interrupted: removed after this game too.
  bool carried = false;
  bool operator==(const JournalFile&) const = default;
};

struct JournalFolder {
  std::string path;  // relative to the game folder, no trailing separator
  bool carried = false;  // as for files
  bool operator==(const JournalFolder&) const = default;
};

struct Journal {
  char game = '0';                   // '1' or '2'
  std::string root;                  // the game folder, with its trailing separator
  // The run that will carry it out. A later run may take the journal over while
  // an earlier one still waits for its game; the earlier one then leaves it.
  std::string owner;
  std::vector<JournalFile> files;
  std::vector<JournalFolder> folders;
  // Entries an earlier journal held that were unsafe (absolute, "..", empty parts)
  // and were dropped when it was read.
  std::size_t refused = 0;

  bool empty() const { return files.empty() && folders.empty(); }
};

// A path below the game folder that can be walked one name at a time: not
// empty, not absolute, no "." or ".." part, no empty part, no NUL or line break.
bool IsSafeRelativePath(std::string_view path);

std::string FormatJournal(const Journal& journal);

// Reads a journal back. Unsafe paths are dropped and counted; a text that is
// not a journal at all is an error.
Result<Journal> ParseJournal(std::string_view text);

}  // namespace fdk
