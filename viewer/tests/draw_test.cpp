#include "meshpeek/draw.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fixtures.h"
#include "meshpeek/model.h"
#include "meshpeek/skin.h"

using fixtures::kRed565;
using fixtures::pixelAt;

namespace {

meshpeek::Model modelOf(const modelgen::Md2Source& src) {
  auto md2 = formats::parseMd2(modelgen::encodeMd2(src), "test.md2");
  EXPECT_TRUE(md2.ok());
  meshpeek::Model model;
  model.md2 = std::move(md2.value());
  model.flatX = static_cast<float>(320 - model.md2.skinWidth / 2);
  model.flatY = static_cast<float>(240 - model.md2.skinHeight / 2);
  return model;
}

class Drawing : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures::openGlide();
    const std::string skin = dir_.write("red.pcx", fixtures::solidPcx(64, 64, 200));
    model_ = modelOf(fixtures::squareSource({skin}));
    std::string pak;
    ASSERT_TRUE(meshpeek::loadSkin(model_, pak, 0, "").ok());
    grBufferClear(0, 0, 0xFFFF);
  }
  void TearDown() override { grGlideShutdown(); }
  void draw(const meshpeek::DrawParams& params) { meshpeek::drawModel(model_, params, scratch_); }

  fixtures::TempDir dir_;
  meshpeek::Model model_;
  std::vector<GrVertex> scratch_;
};

}  // namespace

TEST(Projection, OriginLandsOnTheCentreAtTheViewDistance) {
  meshpeek::Model model;
  meshpeek::DrawParams params;
  const meshpeek::Projection pr(params);
  const GrVertex v = meshpeek::projectVertex(pr, model, {0, 10, -10}, 0.5f, 0.25f);
  EXPECT_EQ(v.x, 320.0f + 51.1875f);  // 51.2 snapped to sixteenths
  EXPECT_EQ(v.y, 270.0f - 51.1875f);
  EXPECT_EQ(v.oow, 0.01f);
  EXPECT_EQ(v.tmuvtx[0].sow, 0.5f * 256.0f * 0.01f);
  EXPECT_EQ(v.r, 255.0f);
}

TEST(Projection, QuarterTurnsSwapTheAxes) {
  meshpeek::Model model;
  meshpeek::DrawParams params;
  params.rotationV = 90;  // a point to the right swings toward the viewer's depth
  const GrVertex v = meshpeek::projectVertex(meshpeek::Projection(params), model, {0, 10, 0}, 0, 0);
  EXPECT_NEAR(v.x, 320.0f, 1e-3f);
  EXPECT_NEAR(1.0f / v.oow, 90.0f, 1e-3f);
}

TEST_F(Drawing, SquareCoversTheCentreWithTheSkinColour) {
  draw({});
  EXPECT_EQ(pixelAt(320, 270), kRed565);
  EXPECT_EQ(pixelAt(275, 225), kRed565);
  EXPECT_EQ(pixelAt(200, 270), 0);
  EXPECT_EQ(pixelAt(320, 205), 0);
}

TEST_F(Drawing, FractionBlendsTowardTheNextFrame) {
  meshpeek::DrawParams params;
  params.fraction = 0.5f;  // halfway to the frame 10 units higher
  draw(params);
  EXPECT_EQ(pixelAt(320, 200), kRed565);
  EXPECT_EQ(pixelAt(320, 300), 0);
  grBufferClear(0, 0, 0xFFFF);
  params.frame = -1;  // frames wrap: -1 is the last frame, blending toward frame 0
  params.fraction = 0;
  draw(params);
  EXPECT_EQ(pixelAt(320, 200), kRed565);
}

TEST_F(Drawing, FullMorphShowsTheSkinLayoutFlat) {
  meshpeek::DrawParams params;
  params.morph = 1.0f;
  draw(params);
  EXPECT_EQ(pixelAt(290, 210), kRed565);  // flat square: (288, 208) to (352, 272)
  EXPECT_EQ(pixelAt(350, 270), kRed565);
  EXPECT_EQ(pixelAt(360, 300), 0);         // inside the model view, outside the layout
}

TEST_F(Drawing, CommandsLongerThanTheScratchStillDraw) {
  modelgen::Md2Source src = fixtures::squareSource(model_.md2.skinNames);
  modelgen::GlCommand band{false, {}};
  modelgen::Frame frame{"band", {}};
  for (int i = 0; i < 100; ++i) {
    const float y = -20.0f + 40.0f * static_cast<float>(i / 2) / 49.0f;
    frame.positions.push_back({0, y, i % 2 ? -5.0f : 5.0f});
    band.vertices.push_back({static_cast<float>(i / 2) / 49.0f, static_cast<float>(i % 2), static_cast<uint32_t>(i)});
  }
  src.frames = {frame};
  src.commands = {band};
  const float sScale = model_.sScale, tScale = model_.tScale;
  model_ = modelOf(src);
  model_.sScale = sScale, model_.tScale = tScale;
  scratch_.resize(64);
  draw({});
  EXPECT_GE(scratch_.size(), 100u);
  EXPECT_EQ(pixelAt(220, 270), kRed565);  // y = -20 end of the band: x = 320 - 102.4
  EXPECT_EQ(pixelAt(418, 270), kRed565);
}
