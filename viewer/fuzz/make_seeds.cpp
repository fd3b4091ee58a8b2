// Writes the fuzzers' starting corpus: small valid files of each format.
//   fragdock_fuzz_seeds CORPUS_DIR  (makes pak/, md2/ and pcx/ inside)
#include <filesystem>
#include <fstream>

#include "modelgen/figure.h"
#include "modelgen/skins.h"
#include "modelgen/writers.h"

namespace fs = std::filesystem;
using namespace modelgen;

namespace {

void put(const fs::path& path, const ByteVector& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Md2Source tiny() {
  Md2Source src;
  src.skinWidth = src.skinHeight = 32;
  src.skins = {"a.pcx"};
  src.frames = {{"f1", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}, {"f2", {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {0, 0, 2}}}};
  src.commands = {{false, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {1, 1, 3}}}, {true, {{0, 0, 3}, {1, 0, 0}, {1, 1, 1}}}};
  return src;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const fs::path root = argv[1];
  const Palette palette = demoPalette();
  const ByteVector skin = encodePcx(16, 8, std::vector<uint8_t>(128, 200), palette);
  put(root / "md2/tiny.md2", encodeMd2(tiny()));
  put(root / "pcx/skin.pcx", skin);
  put(root / "pcx/icon.pcx", encodePcx(32, 32, paintIcon({"x", kBlue, kNavy, kBrown}), palette));
  const std::string list = "skins/a.pcx\nnotes\nx B.PCX\n";
  put(root / "pcx/list.lst", ByteVector(list.begin(), list.end()));
  put(root / "pak/small.pak", encodePak({{"maps/base1.bsp", {1, 2, 3}}, {"a.pcx", skin}, {"m/tris.md2", encodeMd2(tiny())}}));
  return 0;
}
