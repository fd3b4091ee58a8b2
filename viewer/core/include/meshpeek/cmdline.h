// The four command-line words, found by their extension anywhere in the line.
#pragma once

#include <string>
#include <string_view>

namespace meshpeek {

// Path buffers of the viewer hold 255 characters; longer words are cut there.
inline constexpr size_t kMaxPathLength = 255;

struct CommandLine {
  std::string model;  // ".md2"
  std::string pak;    // ".pak"
  std::string skin;   // ".pcx": overrides the model's skin list
  std::string list;   // ".lst": skin list merged into the model's
};

CommandLine parseCommandLine(std::string_view raw);

// The raw line: the arguments after the program name, joined by single blanks.
std::string joinArguments(int argc, const char* const* argv);

// What the line asks for instead of a model: an argument that is exactly
// "--help" or "-h", or "--version" or "-v" (the first such one counts).
enum class InfoRequest { None, Help, Version };
InfoRequest infoRequest(int argc, const char* const* argv);

// "meshpeek <version>" and a newline: the first line of the usage too.
std::string versionLine();
std::string usageText();

}  // namespace meshpeek
