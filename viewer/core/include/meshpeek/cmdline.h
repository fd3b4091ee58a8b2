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

}  // namespace meshpeek
