// Writes the demo models: for each figure its MD2, skins and icons; a skin
// list and a PAK of the first figure; and, when asked, the demo game tree's
// installed model.
//
//   fragdock_modelgen OUT_DIR [DEMO_DIR]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "modelgen/figure.h"
#include "modelgen/skins.h"
#include "modelgen/writers.h"

namespace fs = std::filesystem;
using namespace modelgen;

namespace {

struct ModelSpec {
  std::string name;
  FigureShape shape;
  std::vector<SkinTheme> skins;  // the first ones are named in the MD2
  size_t skinsInModel;
};

std::vector<PakMember> modelFiles(const ModelSpec& model) {
  const std::string folder = "players/" + model.name + "/";
  std::vector<std::string> names;
  for (size_t i = 0; i < model.skinsInModel; ++i) names.push_back(folder + model.skins[i].name + ".pcx");
  std::vector<PakMember> files{{folder + "tris.md2", encodeMd2(buildFigure(model.shape, names))}};
  const Palette palette = demoPalette();
  for (const SkinTheme& theme : model.skins) {
    files.push_back({folder + theme.name + ".pcx", encodePcx(kSkinSide, kSkinSide, paintSkin(theme), palette)});
    files.push_back({folder + theme.name + "_i.pcx", encodePcx(32, 32, paintIcon(theme), palette)});
  }
  return files;
}

bool writeFile(const fs::path& path, const ByteVector& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) return true;
  std::fprintf(stderr, "fragdock_modelgen: cannot write %s\n", path.c_str());
  return false;
}

bool writeTree(const fs::path& root, const std::vector<PakMember>& files) {
  for (const PakMember& f : files) {
    if (!writeFile(root / f.name, f.bytes)) return false;
  }
  return true;
}

ByteVector skinListText(const ModelSpec& model) {
  std::string text = "// extra skins for " + model.name + "\n";
  for (size_t i = model.skinsInModel; i < model.skins.size(); ++i) {
    text += "players/" + model.name + "/" + model.skins[i].name + ".pcx\n";
  }
  return ByteVector(text.begin(), text.end());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: fragdock_modelgen OUT_DIR [DEMO_DIR]\n");
    return 2;
  }
  const ModelSpec scout{"scout", {1.0f, 1.0f, 1.0f},
                        {{"blue", kBlue, kNavy, kBrown}, {"red", kRed, kDarkRed, kYellow}, {"olive", kOlive, kBrown, kGrey}},
                        2};
  const ModelSpec brute{"brute", {1.1f, 1.35f, 0.85f},
                        {{"steel", kSteel, kNavy, kGrey}, {"jade", kTeal, kGreen, kBrown}},
                        2};
  const fs::path out = argv[1];
  const std::vector<PakMember> scoutFiles = modelFiles(scout);
  const std::vector<PakMember> bruteFiles = modelFiles(brute);
  bool ok = writeTree(out, scoutFiles) && writeTree(out, bruteFiles) &&
            writeFile(out / "scout.lst", skinListText(scout)) && writeFile(out / "scout.pak", encodePak(scoutFiles));
  if (ok && argc > 2) {
    const fs::path demo = argv[2];
    // The installed model of the demo game; the demo generator writes the model packs.
    ok = writeTree(demo / "quake2" / "baseq2", scoutFiles);
  }
  return ok ? 0 : 1;
}
