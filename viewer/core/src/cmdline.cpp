#include "meshpeek/cmdline.h"

#include "formats/text.h"
#include "fragdock/version.h"

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

InfoRequest infoRequest(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return InfoRequest::Help;
    if (arg == "--version" || arg == "-v") return InfoRequest::Version;
  }
  return InfoRequest::None;
}

std::string versionLine() { return std::string("meshpeek ") + fdk::kFragdockVersion + "\n"; }

std::string usageText() {
  return versionLine() +
         "usage: meshpeek [MODEL.md2] [ARCHIVE.pak] [SKIN.pcx] [SKINS.lst] | meshpeek --help | meshpeek --version\n"
         "\n"
         "Shows one Quake 2 player model with a skin, animated, in a window the size of the\n"
         "screen. The four words are picked out of the command line by their ending, in any\n"
         "order and any case; other words are ignored.\n"
         "\n"
         "  MODEL.md2       the model\n"
         "  ARCHIVE.pak     an archive to read the model and its skins from; alone, it writes\n"
         "                  the archive's map names to md2names.txt here and opens no window\n"
         "  SKIN.pcx        a skin that replaces the model's own skins\n"
         "  SKINS.lst       a text file naming more skins, one .pcx word a line\n"
         "  -h, --help      this text\n"
         "  -v, --version   the version\n"
         "\n"
         "Keys: mouse turns, arrows move, A and Z nearer and farther, keypad + and - faster\n"
         "and slower, Tab the next skin, S a screenshot, W wireframe, Esc quits.\n";
}

}  // namespace meshpeek
