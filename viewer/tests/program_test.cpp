// The meshpeek program end to end: exit codes, fatal messages and the map
// list, run with SDL's dummy video driver.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "fixtures.h"

namespace {

struct ProgramRun {
  int code = -1;
  std::string firstErrorLine;
};

ProgramRun meshpeek(const fixtures::TempDir& dir, const std::string& args) {
  const std::string command = "cd '" + dir.path().string() + "' && SDL_VIDEODRIVER=dummy '" MESHPEEK_PATH "' " +
                              args + " >/dev/null 2>stderr.txt";
  const int status = std::system(command.c_str());
  ProgramRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(dir.path() / "stderr.txt");
  std::getline(err, run.firstErrorLine);
  return run;
}

std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

modelgen::ByteVector bytesOf(const std::string& s) { return modelgen::ByteVector(s.begin(), s.end()); }

}  // namespace

TEST(Program, PakAloneWritesTheMapListWithoutAWindow) {
  fixtures::TempDir dir;
  dir.write("pak0.pak", modelgen::encodePak({{"maps/base1.bsp", bytesOf("a")},
                                             {"pics/colormap.pcx", bytesOf("b")},
                                             {"maps/q2dm1.bsp", bytesOf("c")}}));
  const ProgramRun run = meshpeek(dir, "pak0.pak");
  EXPECT_EQ(run.code, 0);
  EXPECT_EQ(readText(dir.path() / "md2names.txt"), "maps/base1.bsp\nmaps/q2dm1.bsp\n");
}

TEST(Program, FatalErrorsEndWithTheirMessageAndCode255) {
  fixtures::TempDir dir;
  const modelgen::ByteVector model = modelgen::encodeMd2(fixtures::squareSource({"skins/a.pcx"}));
  dir.write("tris.md2", model);
  dir.write("cut.md2", modelgen::ByteVector(model.begin(), model.begin() + 100));
  dir.write("garbage.pak", bytesOf(std::string(40, '\xff')));
  dir.write("wide.pcx", fixtures::solidPcx(300, 10, 1));
  dir.write("thin.pcx", fixtures::solidPcx(1, 64, 1));
  const struct {
    const char* args;
    const char* message;
  } rows[] = {
      {"", "Invalid mdl filename"},
      {"unknown words only", "Invalid mdl filename"},
      {"none.md2", "Unable to open mdl file"},
      {"cut.md2", "Unable to open mdl file"},
      {"garbage.pak tris2.md2", "Unable to open mdl file"},
      {"missing.pak", "Invalid pak filename"},
      {"tris.md2 none.lst", "Couldnt open .lst file"},
      {"tris.md2", "Unable to read model skin."},
      {"tris.md2 wide.pcx", "Unable to determine aspect ratio"},
      {"tris.md2 thin.pcx", "Bad texture width"},
  };
  for (const auto& row : rows) {
    const ProgramRun run = meshpeek(dir, row.args);
    EXPECT_EQ(run.code, 255) << row.args;
    EXPECT_EQ(run.firstErrorLine, row.message) << row.args;
  }
}
