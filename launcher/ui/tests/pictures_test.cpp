#include "app/pictures.h"

#include <gtest/gtest.h>

#include "modelgen/writers.h"
#include "uitest.h"

using namespace fdk;

namespace {
std::string pcxBytes() {
  modelgen::Palette palette{};
  palette[3 * 1 + 0] = 255;  // index 1: red
  palette[3 * 2 + 2] = 255;  // index 2: blue
  std::vector<uint8_t> indices = {1, 2, 2, 1, 1, 1, 2, 2, 2};  // 3 × 3
  auto bytes = modelgen::encodePcx(3, 3, indices, palette);
  return std::string(bytes.begin(), bytes.end());
}
}  // namespace

TEST(Pictures, PcxIsDecodedWithItsPalette) {
  TempDir dir;
  dir.write("zeusbot.pcx", pcxBytes());
  QImage image = LoadPictureFile(dir.file("zeusbot.pcx"));
  ASSERT_EQ(image.size(), QSize(3, 3));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(2, 2), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(0, 1), qRgb(255, 0, 0));
}

TEST(Pictures, DamagedOrMissingFilesGiveNoPicture) {
  TempDir dir;
  std::string pcx = pcxBytes();
  dir.write("short.pcx", pcx.substr(0, 100));
  dir.write("nopalette.pcx", pcx.substr(0, pcx.size() - 700));
  dir.write("garbage.bmp", std::string(500, '\x42'));
  for (const char* name : {"short.pcx", "nopalette.pcx", "garbage.bmp", "missing.jpg"})
    EXPECT_TRUE(LoadPictureFile(dir.file(name)).isNull()) << name;
}

TEST(Pictures, PcxSidesBeyondWhatAPreviewCanUseGiveNoPicture) {
  TempDir dir;
  modelgen::Palette palette{};
  for (uint32_t w : {4096u, 4097u}) {
    auto bytes = modelgen::encodePcx(w, 1, std::vector<uint8_t>(w, 1), palette);
    dir.write("wide.pcx", bytes);
    EXPECT_EQ(LoadPictureFile(dir.file("wide.pcx")).isNull(), w > 4096) << w;
  }
}

TEST(Pictures, BmpIsPreferredAndContentDecidesTheFormat) {
  TempDir dir;
  QImage jpg(5, 4, QImage::Format_RGB32);
  jpg.fill(Qt::green);
  dir.write("sky.jpg", "");
  jpg.save(QString::fromStdString(dir.file("sky.jpg")), "JPG");
  EXPECT_EQ(FindPicture(dir.folder() + "sky"), dir.folder() + "sky.jpg");
  std::filesystem::copy_file(dir.file("sky.jpg"), dir.file("sky.bmp"));  // a JPG under a BMP name
  EXPECT_EQ(FindPicture(dir.folder() + "sky"), dir.folder() + "sky.bmp");
  EXPECT_EQ(LoadNamedPicture(dir.folder() + "sky").size(), QSize(5, 4));
  EXPECT_EQ(FindPicture(dir.folder() + "none"), "");
}
