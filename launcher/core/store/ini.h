#pragma once
// A profile (INI) file kept as its lines, so that unknown sections, unknown keys,
// comments and blank lines survive a rewrite unchanged.
//
// Sections are "[name]" lines; keys are "key=value" lines below them. Section and
// key names compare without regard to ASCII case and surrounding blanks; values are
// kept verbatim. The first occurrence of a section or key wins, as with the
// classic profile routines.
//
// Parsing indexes every section and key once, so reading or writing a key costs
// the same whatever the file holds, and loading a file is linear in its size.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/result.h"

namespace fdk {

// A settings file is a few kilobytes; one far larger is damaged or not one at all,
// and is not read into memory.
inline constexpr std::uint64_t kMaxIniBytes = 1u << 20;

class IniFile {
 public:
  IniFile() = default;

  // Parses any bytes: lines that are neither sections nor keys are kept as they are.
  static IniFile parse(std::string_view bytes);

  // Reads and parses a file; a missing or unreadable file, or one larger than
  // maxBytes, is an error that names the file.
  static Result<IniFile> load(const std::string& path, std::uint64_t maxBytes = kMaxIniBytes);

  std::optional<std::string> read(std::string_view section, std::string_view key) const;

  // Replaces the key's line in place, or adds it after the section's last entry,
  // or adds the section at the end of the file.
  void write(std::string_view section, std::string_view key, std::string_view value);

  std::string serialize() const;

 private:
  // The lines from one "[name]" line up to the next; the first block holds the
  // lines before any section and has no header. The blank lines at a block's end
  // are kept apart, so a new key goes after the last entry without moving them.
  struct Block {
    std::vector<std::string> lines;  // the header (if any) up to the last line that is not blank
    std::vector<std::string> tail;   // the blank lines after it
    // Folded key name → the line of its first occurrence.
    std::unordered_map<std::string, std::size_t> keys;
  };
  std::vector<Block> blocks_ = std::vector<Block>(1);
  std::unordered_map<std::string, std::size_t> sections_;  // folded section name → its first block
  std::string eol_ = "\n";
  bool finalEol_ = true;

  void addLine(std::string line);
};

}  // namespace fdk
