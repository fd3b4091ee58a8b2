// term: started by the launcher once a game runs, when Use Terminator is on.
// It waits for the game to end and puts the game folder back as the launch's
// record says it was, except for what the player or the game changed since.
#include <iostream>
#include <string>
#include <vector>

#include "core/platform/paths.h"
#include "core/platform/places.h"
#include "fragdock/version.h"
#include "term/core/termrun.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args == std::vector<std::string>{"--version"}) {
    std::cout << "term " << fdk::kFragdockVersion << "\n";
    return 0;
  }
  fdk::Result<fdk::TermOptions> options = fdk::ParseTermArguments(args);
  if (!options) {
    std::cerr << "term: " << options.error().text << "\n" << fdk::TermUsage();
    return 2;
  }
  // The same places the launcher that started it uses: both go by the program folder.
  const fdk::ProgramPlaces places = fdk::FindProgramPlaces(fdk::executableFolder(), fdk::XdgEnvironment::FromProcess());
  if (options->mode != fdk::TermOptions::Mode::Help)
    if (fdk::Status made = fdk::MakeProgramPlaces(places); !made) std::cerr << "term: " << made.error().text << "\n";
  return fdk::RunTerm(*options, places.state, std::cout, std::cerr);
}
