#include "meshpeek/cmdline.h"

#include "formats/text.h"

namespace meshpeek {

namespace {

std::string word(std::string_view raw, std::string_view extension) {
  return std::string(formats::tokenEndingWith(raw, extension).substr(0, kMaxPathLength));
}

}  // namespace

CommandLine parseCommandLine(std::string_view raw) {
  return {word(raw, ".md2"), word(raw, ".pak"), word(raw, ".pcx"), word(raw, ".lst")};
}

std::string joinArguments(int argc, const char* const* argv) {
  std::string raw;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) raw += ' ';
    raw += argv[i];
  }
  return raw;
}

}  // namespace meshpeek
