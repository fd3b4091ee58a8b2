#pragma once
// A profile (INI) file kept as its lines, so that unknown sections, unknown keys,
// comments and blank lines survive a rewrite unchanged.
//
// Sections are "[name]" lines; keys are "key=value" lines below them. Section and
// key names compare without regard to ASCII case and surrounding blanks; values are
// kept verbatim. The first occurrence of a section or key wins, as with the
// classic profile routines.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"


namespace fdk {

class IniFile {
 public:
  IniFile() = default;

  // Parses any bytes: lines that are neither sections nor keys are kept as they are.
  static IniFile parse(std::string_view bytes);

  // Reads and parses a file; a missing or unreadable file, or one larger than maxBytes, is an error.
  static Result<IniFile> load(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

  std::optional<std::string> read(std::string_view section, std::string_view key) const;

  // Replaces the key's line in place, or adds it after the section's last entry,
  // or adds the section at the end of the file.
  void write(std::string_view section, std::string_view key, std::string_view value);

  std::string serialize() const;

 private:
  struct Line {
    std::string text;
  };
  std::vector<Line> lines_;
  std::string eol_ = "\n";
  bool finalEol_ = true;

  std::optional<std::size_t> findSection(std::string_view section) const;
  std::size_t sectionEnd(std::size_t headerIndex) const;
  std::optional<std::size_t> findKey(std::size_t headerIndex, std::string_view key) const;
};

}  // namespace fdk
