// term: started by the launcher right before a game when Use Terminator is on.
// It records what the launch installed into the game folder, waits for the
// game to end, and removes what is unchanged, so that the game folder is as it
// was before the launch, except for what the player made while playing.
#include <iostream>
#include <string>
#include <vector>

#include "core/platform/paths.h"
#include "term/core/termrun.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  fdk::Result<fdk::TermOptions> options = fdk::ParseTermArguments(args);
  if (!options) {
    std::cerr << "term: " << options.error().text << "\nusage: term [--dry-run] [--appear-timeout-ms MS] 1|2\n";
    return 2;
  }
  return fdk::RunTerm(*options, fdk::executableFolder(), std::cout, std::cerr);
}
