#include "meshpeek/skin.h"

#include <gtest/gtest.h>

#include "fixtures.h"

using meshpeek::Failure;
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
    ASSERT_FALSE(meshpeek::failed(outcome)) << row.w << "x" << row.h;
    const SkinTexture& t = std::get<SkinTexture>(outcome);
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
    ASSERT_TRUE(meshpeek::failed(outcome));
    EXPECT_EQ(std::get<Failure>(outcome).message, row.message);
  }
}

TEST(SkinTexture, NearestNeighbourPicksTruncatedSourcePositions) {
  // 3 × 3 up to 4 × 4: source column trunc(c / 4 * 3) = 0, 0, 1, 2.
  formats::PcxImage p = picture(3, 3);
  for (uint8_t i = 0; i < 9; ++i) p.indices[i] = i;
  auto outcome = meshpeek::prepareSkinTexture(p);
  const auto& t = std::get<SkinTexture>(outcome);
  const std::vector<uint8_t> expected{0, 0, 1, 2, 0, 0, 1, 2, 3, 3, 4, 5, 6, 6, 7, 8};
  EXPECT_EQ(t.texels, expected);
}

class SkinLoading : public ::testing::Test {
 protected:
  void SetUp() override { fixtures::openGlide(); }
  void TearDown() override { grGlideShutdown(); }
  fixtures::TempDir dir_{"skins"};
};

TEST_F(SkinLoading, MissingFirstSkinIsFatalLaterOnesAreSkipped) {
  meshpeek::Model model;
  model.md2.skinNames = {(dir_.path() / "none0.pcx").string(), (dir_.path() / "none1.pcx").string(),
                         dir_.write("wide.pcx", fixtures::solidPcx(128, 64, 200))};
  std::string pak;
  auto first = meshpeek::loadSkin(model, pak, 0, "");
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->message, "Unable to read model skin.");
  EXPECT_FALSE(meshpeek::loadSkin(model, pak, 1, "").has_value());
  EXPECT_FALSE(meshpeek::loadSkin(model, pak, 5, "").has_value());
  EXPECT_FALSE(meshpeek::loadSkin(model, pak, -1, "").has_value());
  EXPECT_EQ(model.sScale, 256.0f);
  EXPECT_FALSE(meshpeek::loadSkin(model, pak, 2, "").has_value());
  EXPECT_EQ(model.tScale, 128.0f);
}

TEST_F(SkinLoading, OverrideReplacesEveryIndexAndBrokenPicturesCountAsMissing) {
  meshpeek::Model model;
  model.md2.skinNames = {"a.pcx", "b.pcx"};
  std::string pak;
  const std::string grunt = dir_.write("grunt.pcx", fixtures::solidPcx(64, 128, 200));
  EXPECT_FALSE(meshpeek::loadSkin(model, pak, 7, grunt).has_value());
  EXPECT_EQ(model.sScale, 128.0f);

  modelgen::ByteVector cut = fixtures::solidPcx(64, 64, 200);
  cut.resize(700);
  auto broken = meshpeek::loadSkin(model, pak, 1, dir_.write("cut.pcx", cut));
  ASSERT_TRUE(broken.has_value());
  EXPECT_EQ(broken->message, "Unable to read model skin.");
  EXPECT_NE(broken->detail.find("cut.pcx: expected"), std::string::npos);
}

TEST_F(SkinLoading, ArchiveModelsReadSkinsFromTheArchive) {
  const std::string pak = dir_.write("pak0.pak", modelgen::encodePak({{"skins/a.pcx", fixtures::solidPcx(32, 32, 200)}}));
  meshpeek::Model model;
  model.fromArchive = true;
  model.md2.skinNames = {"skins/a.pcx", "skins/missing.pcx"};
  std::string path = pak;
  EXPECT_FALSE(meshpeek::loadSkin(model, path, 0, "").has_value());
  EXPECT_EQ(path, pak);
  EXPECT_FALSE(meshpeek::loadSkin(model, path, 1, "").has_value());
  EXPECT_EQ(path, dir_.path().string() + "/");  // the miss sent later lookups to the folder
}
