#include "meshpeek/skin.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures.h"

using meshpeek::Error;
using meshpeek::SkinTexture;

namespace {

formats::PcxImage picture(uint32_t w, uint32_t h) {
  formats::PcxImage p;
  p.width = w, p.height = h;
  p.indices.resize(size_t{w} * h);
  for (size_t i = 0; i < p.indices.size(); ++i) p.indices[i] = static_cast<uint8_t>(i % 7);
  return p;
}

}  // namespace

TEST(SkinTexture, SidesLevelAspectAndScales) {
  const struct {
    uint32_t w, h;
    int W, H;
    GrLOD_t lod;
    GrAspectRatio_t aspect;
    float s, t;
  } rows[] = {
      {296, 196, 256, 256, GR_LOD_256, GR_ASPECT_1x1, 256, 256},
      {128, 64, 128, 64, GR_LOD_128, GR_ASPECT_2x1, 256, 128},
      {3, 20, 4, 32, GR_LOD_32, GR_ASPECT_1x8, 32, 256},
      {1000, 520, 256, 256, GR_LOD_256, GR_ASPECT_1x1, 256, 256},
      {2, 2, 2, 2, GR_LOD_2, GR_ASPECT_1x1, 256, 256},
      {64, 16, 64, 16, GR_LOD_64, GR_ASPECT_4x1, 256, 64},
  };
  for (const auto& row : rows) {
    auto outcome = meshpeek::prepareSkinTexture(picture(row.w, row.h));
    ASSERT_FALSE(!outcome.ok()) << row.w << "x" << row.h;
    const SkinTexture& t = outcome.value();
    EXPECT_EQ(t.width, row.W);
    EXPECT_EQ(t.height, row.H);
    EXPECT_EQ(t.lod, row.lod);
    EXPECT_EQ(t.aspect, row.aspect);
    EXPECT_EQ(t.sScale, row.s);
    EXPECT_EQ(t.tScale, row.t);
    EXPECT_EQ(t.texels.size(), size_t(row.W * row.H));
  }
}

TEST(SkinTexture, SidesItCannotUseAreFatal) {
  const struct {
    uint32_t w, h;
    const char* message;
  } rows[] = {{300, 10, "Unable to determine aspect ratio"},
              {1, 64, "Bad texture width"},
              {64, 1, "Bad texture height"},
              {256, 16, "Unable to determine aspect ratio"}};
  for (const auto& row : rows) {
    auto outcome = meshpeek::prepareSkinTexture(picture(row.w, row.h));
    ASSERT_TRUE(!outcome.ok());
    EXPECT_EQ(outcome.error().text, row.message);
  }
}

TEST(SkinTexture, NearestNeighbourPicksTruncatedSourcePositions) {
  // 3 × 3 up to 4 × 4: source column trunc(c / 4 * 3) = 0, 0, 1, 2.
  formats::PcxImage p = picture(3, 3);
  for (uint8_t i = 0; i < 9; ++i) p.indices[i] = i;
  auto outcome = meshpeek::prepareSkinTexture(p);
  const auto& t = outcome.value();
  const std::vector<uint8_t> expected{0, 0, 1, 2, 0, 0, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8};
  EXPECT_EQ(t.texels, expected);
}

class SkinLoading : public ::testing::Test {
 protected:
  void SetUp() override { fixtures::openGlide(); }
  void TearDown() override { grGlideShutdown(); }
  fixtures::TempDir dir_;
};

TEST_F(SkinLoading, MissingFirstSkinIsFatalLaterOnesAreSkipped) {
  meshpeek::Model model;
  model.md2.skinNames = {(dir_.path() / "none0.pcx").string(), (dir_.path() / "none1.pcx").string(),
                         dir_.write("wide.pcx", fixtures::solidPcx(128, 64, 200))};
  std::string pak;
  auto first = meshpeek::loadSkin(model, pak, 0, "");
  ASSERT_FALSE(first.ok());
  EXPECT_EQ(first.error().text, "Unable to read model skin.");
  EXPECT_TRUE(meshpeek::loadSkin(model, pak, 1, "").ok());
  EXPECT_TRUE(meshpeek::loadSkin(model, pak, 5, "").ok());
  EXPECT_TRUE(meshpeek::loadSkin(model, pak, -1, "").ok());
  EXPECT_EQ(model.sScale, 256.0f);
  EXPECT_TRUE(meshpeek::loadSkin(model, pak, 2, "").ok());
  EXPECT_EQ(model.tScale, 128.0f);
}

TEST_F(SkinLoading, OverrideReplacesEveryIndexAndBrokenPicturesCountAsMissing) {
  meshpeek::Model model;
  model.md2.skinNames = {"a.pcx", "b.pcx"};
  std::string pak;
  const std::string grunt = dir_.write("grunt.pcx", fixtures::solidPcx(64, 128, 200));
  EXPECT_TRUE(meshpeek::loadSkin(model, pak, 7, grunt).ok());
  EXPECT_EQ(model.sScale, 128.0f);

  modelgen::ByteVector cut = fixtures::solidPcx(64, 64, 200);
  cut.resize(700);
  auto broken = meshpeek::loadSkin(model, pak, 1, dir_.write("cut.pcx", cut));
  ASSERT_FALSE(broken.ok());
  EXPECT_EQ(broken.error().text, "Unable to read model skin.");
  EXPECT_NE(broken.error().detail.find("cut.pcx: expected"), std::string::npos);
}

TEST_F(SkinLoading, ArchiveModelsReadSkinsFromTheArchive) {
  const std::string pak = dir_.write("pak0.pak", modelgen::encodePak({{"skins/a.pcx", fixtures::solidPcx(32, 32, 200)}}));
  meshpeek::Model model;
  model.fromArchive = true;
  model.md2.skinNames = {"skins/a.pcx", "skins/missing.pcx"};
  std::string path = pak;
  EXPECT_TRUE(meshpeek::loadSkin(model, path, 0, "").ok());
  EXPECT_EQ(path, pak);
  EXPECT_TRUE(meshpeek::loadSkin(model, path, 1, "").ok());
  EXPECT_EQ(path, dir_.path().string() + "/");  // the miss sent later lookups to the folder
}

namespace {

// A skin of w × h pixels of index 7, coded as runs of 63: a few hundred
// kilobytes even for sixteen million pixels.
modelgen::ByteVector runsPcx(uint32_t w, uint32_t h) {
  modelgen::ByteVector b(128, 0);
  b[8] = static_cast<uint8_t>(w - 1), b[9] = static_cast<uint8_t>((w - 1) >> 8);
  b[10] = static_cast<uint8_t>(h - 1), b[11] = static_cast<uint8_t>((h - 1) >> 8);
  for (uint64_t left = uint64_t{w} * h; left > 0; left -= std::min<uint64_t>(left, 63)) {
    b.push_back(0xFF);
    b.push_back(7);
  }
  b.push_back(0x0C);
  const modelgen::Palette palette = fixtures::testPalette();
  b.insert(b.end(), palette.begin(), palette.end());
  return b;
}

}  // namespace

TEST_F(SkinLoading, SidesBeyondWhatTheTextureCanShowAreRefusedBeforeDecoding) {
  const struct {
    uint32_t w, h;
    bool loads;
  } rows[] = {{4096, 4096, true}, {4097, 4096, false}, {4096, 4097, false}, {65535, 2, false}};
  for (const auto& row : rows) {
    meshpeek::Model model;
    std::string pak;
    const std::string name = dir_.write("big.pcx", runsPcx(row.w, row.h));
    const auto failure = meshpeek::loadSkin(model, pak, 0, name);
    EXPECT_EQ(failure.ok(), row.loads) << row.w << " x " << row.h;
    if (failure.ok()) continue;
    EXPECT_EQ(failure.error().text, "Unable to read model skin.");
    EXPECT_NE(failure.error().detail.find("4096 x 4096"), std::string::npos) << failure.error().detail;
  }
}

TEST_F(SkinLoading, SkinFileBeyondWhatAnyUsableSkinTakesIsNotRead) {
  modelgen::ByteVector skin = fixtures::solidPcx(64, 64, 200);
  const modelgen::ByteVector palette(skin.end() - 769, skin.end());
  skin.resize(skin.size() - palette.size());
  const std::string name = dir_.writeSparse("sparse.pcx", skin, 256ull << 20, palette);
  meshpeek::Model model;
  std::string pak;
  const uint64_t before = fixtures::bytesReadSoFar();
  const auto failure = meshpeek::loadSkin(model, pak, 0, name);
  EXPECT_LT(fixtures::bytesReadSoFar() - before, 1u << 20);
  ASSERT_FALSE(failure.ok());
  EXPECT_EQ(failure.error().text, "Unable to read model skin.");
}
