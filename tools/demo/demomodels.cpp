// The demo game's Quake 2 model packs: each a ZIP archive of one figure's mesh,
// skins and icons below baseq2/players/, as players get them.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demoparts.h"
#include "modelgen/figure.h"
#include "modelgen/skins.h"
#include "modelgen/writers.h"
#include "testing/archive.h"

using namespace modelgen;

namespace demo {

namespace {

struct Pack {
  std::string name;
  FigureShape shape;
  std::vector<SkinTheme> withIcon;     // listed by the launcher
  std::vector<SkinTheme> withoutIcon;  // weapon skins and the like: never listed
};

std::string bytes(const ByteVector& v) { return std::string(v.begin(), v.end()); }

std::vector<fdk::ArchiveEntry> packEntries(const Pack& pack) {
  const std::string folder = "baseq2/players/" + pack.name + "/";
  std::vector<std::string> named;
  for (const SkinTheme& skin : pack.withIcon) named.push_back("players/" + pack.name + "/" + skin.name + ".pcx");
  std::vector<fdk::ArchiveEntry> entries{{folder, "", fdk::ArchiveEntry::Kind::Folder},
                                         {folder + "tris.md2", bytes(encodeMd2(buildFigure(pack.shape, named)))}};
  const Palette palette = demoPalette();
  for (const SkinTheme& skin : pack.withIcon) {
    entries.push_back({folder + skin.name + ".pcx", bytes(encodePcx(kSkinSide, kSkinSide, paintSkin(skin), palette))});
    entries.push_back({folder + skin.name + "_i.pcx", bytes(encodePcx(32, 32, paintIcon(skin), palette))});
  }
  for (const SkinTheme& skin : pack.withoutIcon)
    entries.push_back({folder + skin.name + ".pcx", bytes(encodePcx(kSkinSide, kSkinSide, paintSkin(skin), palette))});
  return entries;
}

// The pack preview as PCX; the picture generator draws the BMP and JPG ones.
bool writePcxPreview(const std::string& path, const SkinTheme& look) {
  const std::vector<uint8_t> icon = paintIcon(look);
  std::vector<uint8_t> picture(240u * 180u);
  for (uint32_t y = 0; y < 180; ++y)
    for (uint32_t x = 0; x < 240; ++x) picture[y * 240 + x] = icon[(y * 32 / 180) * 32 + x * 32 / 240];
  const ByteVector pcx = encodePcx(240, 180, picture, demoPalette());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(pcx.data()), static_cast<std::streamsize>(pcx.size()));
  return static_cast<bool>(out);
}

}  // namespace

bool writeModels(const std::string& modelStore, const std::string& /*quake2Folder*/) {
  std::filesystem::create_directories(modelStore);
  const Pack packs[] = {
      {"brute", {1.1f, 1.35f, 0.85f}, {{"steel", kSteel, kNavy, kGrey}, {"jade", kTeal, kGreen, kBrown}},
       {{"weapon", kGrey, kSteel, kGrey}}},
      {"runner", {0.95f, 0.8f, 1.05f}, {{"sprint", kOrange, kYellow, kBrown}, {"dusk", kPurple, kPink, kGrey}},
       {{"w_blaster", kNavy, kSteel, kGrey}}},
      {"tank", {1.2f, 1.6f, 0.7f}, {{"rust", kDarkRed, kBrown, kGrey}}, {}},
  };
  bool ok = true;
  for (const Pack& pack : packs) ok = fdk::WriteArchive(modelStore + pack.name + ".zip", packEntries(pack)).ok() && ok;
  ok = writePcxPreview(modelStore + "tank.pcx", packs[2].withIcon[0]) && ok;
  return ok;
}

}  // namespace demo
