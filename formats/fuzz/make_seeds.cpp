// Writes the fuzzers' starting corpus: small valid files of each format, and
// small hostile ones that once went wrong.
//   fragdock_fuzz_seeds CORPUS_DIR  (makes pak/, pakmember/, md2/, pcx/ and skin/ inside)
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

// A picture whose header claims (xmax + 1) × (ymax + 1) pixels over a few bytes of data.
ByteVector claimingPcx(uint16_t xmax, uint16_t ymax, const Palette& palette) {
  ByteVector b = encodePcx(2, 2, {1, 2, 3, 4}, palette);
  b[8] = static_cast<uint8_t>(xmax), b[9] = static_cast<uint8_t>(xmax >> 8);
  b[10] = static_cast<uint8_t>(ymax), b[11] = static_cast<uint8_t>(ymax >> 8);
  return b;
}

void putSkins(const fs::path& dir, const ByteVector& skin, const Palette& palette) {
  put(dir / "skin.pcx", skin);
  put(dir / "wide.pcx", encodePcx(300, 10, std::vector<uint8_t>(3000, 9), palette));
  put(dir / "odd.pcx", encodePcx(3, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, palette));
  put(dir / "huge.pcx", claimingPcx(0xFFFF, 0xFFFF, palette));
  put(dir / "beyond.pcx", claimingPcx(4096, 0, palette));
}

void putArchives(const fs::path& dir, const ByteVector& skin) {
  const ByteVector model = encodeMd2(tiny());
  put(dir / "small.pak", encodePak({{"maps/base1.bsp", {1, 2, 3}}, {"a.pcx", skin}, {"m/tris.md2", model}}));
  // Twins in two spellings: the first wins; the second member lies partly outside.
  ByteVector twins = encodePak({{"TRIS.MD2", model}, {"tris.md2", model}, {"skins/a.pcx", skin}});
  setI32(twins, twins.size() - 2 * 64 + 60, 1 << 30);
  put(dir / "twins.pak", twins);
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
  // No GL commands, at an offset far outside the file.
  ByteVector far = encodeMd2(tiny());
  setI32(far, 36, 0);
  setI32(far, 60, 0x7FFFFFFF);
  put(root / "md2/far.md2", far);
  put(root / "pcx/huge.pcx", claimingPcx(0xFFFF, 0xFFFF, palette));
  putSkins(root / "skin", skin, palette);
  putArchives(root / "pakmember", skin);
  return 0;
}
