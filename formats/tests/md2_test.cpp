#include "formats/md2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "modelgen/figure.h"
#include "modelgen/writers.h"

using modelgen::ByteVector;

namespace {

// Two frames of four vertices, one strip and one fan.
modelgen::Md2Source tinySource() {
  modelgen::Md2Source src;
  src.skinWidth = 64;
  src.skinHeight = 32;
  src.skins = {"skins/a.pcx", "skins/b.pcx"};
  src.frames = {{"pose1", {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}}},
                {"pose2", {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}, {0, 0, 20}}}};
  src.commands = {{false, {{0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {1, 1, 3}}}, {true, {{0.5f, 0.5f, 3}, {0, 0, 0}, {1, 0, 1}}}};
  return src;
}

int32_t headerField(const ByteVector& b, size_t at) {
  int32_t v;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

}  // namespace

TEST(Md2, FigureRoundTripsWithNamedFramesStripsFansAndNegatedAxes) {
  const modelgen::Md2Source src = modelgen::buildFigure({}, {"players/scout/blue.pcx"});
  const ByteVector bytes = modelgen::encodeMd2(src);
  auto model = formats::parseMd2(bytes, "tris.md2");
  ASSERT_TRUE(model.ok()) << model.error().text;
  EXPECT_EQ(model->skinNames, src.skins);
  ASSERT_EQ(model->frames.size(), src.frames.size());
  EXPECT_EQ(model->frames[0].name, "walk1");
  EXPECT_EQ(model->commands.size(), src.commands.size());
  EXPECT_EQ(model->skippedCommands, 0u);
  bool strips = false, fans = false;
  for (const auto& c : model->commands) (c.fan ? fans : strips) = true;
  EXPECT_TRUE(strips && fans);
  for (size_t f = 0; f < src.frames.size(); f += 5) {
    for (uint32_t i = 0; i < model->vertexCount; i += 7) {
      const formats::Vec3 v = formats::decodeVertex(model.value(), model->frames[f], i);
      const auto& p = src.frames[f].positions[i];
      EXPECT_NEAR(v.x, -p[0], 0.2f);
      EXPECT_NEAR(v.y, p[1], 0.2f);
      EXPECT_NEAR(v.z, -p[2], 0.2f);
    }
  }
}

TEST(Md2, EveryCutOfAModelIsRefusedOrReadInsideItsBytes) {
  const ByteVector whole = modelgen::encodeMd2(tinySource());
  for (size_t length = 0; length < whole.size(); ++length) {
    const ByteVector cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    auto model = formats::parseMd2(cut, "cut.md2");
    EXPECT_FALSE(model.ok()) << "length " << length;
  }
  EXPECT_TRUE(formats::parseMd2(whole, "whole.md2").ok());
}

TEST(Md2, HostileHeaderFieldsAreRefused) {
  const struct {
    size_t at;
    int32_t value;
    const char* expected;
  } rows[] = {
      {40, 0, "at least one frame"},
      {16, 39, "a frame size of at least 40 bytes"},
      {20, -1, "a skin count of 0 or more"},
      {36, -5, "a GL command count of 0 or more"},
      {56, -4, "frames inside"},
      {60, 0x7FFFFFFF, "GL commands inside"},
      {44, 0x40000000, "skin names inside"},
      {40, 0x7FFFFFFF, "frames inside"},
  };
  for (const auto& row : rows) {
    ByteVector bytes = modelgen::encodeMd2(tinySource());
    modelgen::setI32(bytes, row.at, row.value);
    auto model = formats::parseMd2(bytes, "bad.md2");
    ASSERT_FALSE(model.ok()) << row.at;
    EXPECT_NE(model.error().text.find(row.expected), std::string::npos) << model.error().text;
    EXPECT_EQ(model.error().text.rfind("bad.md2: expected ", 0), 0u);
  }
}

TEST(Md2, CommandsNamingVerticesBeyondTheFrameAreSkipped) {
  modelgen::Md2Source src = tinySource();
  src.commands[0].vertices[2].index = 4;  // frames hold vertices 0..3
  auto model = formats::parseMd2(modelgen::encodeMd2(src), "x.md2");
  ASSERT_TRUE(model.ok());
  ASSERT_EQ(model->commands.size(), 1u);
  EXPECT_TRUE(model->commands[0].fan);
  EXPECT_EQ(model->skippedCommands, 1u);
}

TEST(Md2, CommandCountsRunningPastTheListEndIt) {
  for (int32_t count : {100, -100, INT32_MIN, INT32_MAX}) {
    ByteVector bytes = modelgen::encodeMd2(tinySource());
    const size_t commands = static_cast<size_t>(headerField(bytes, 60));
    modelgen::setI32(bytes, commands, count);
    auto model = formats::parseMd2(bytes, "x.md2");
    ASSERT_TRUE(model.ok()) << count;
    EXPECT_TRUE(model->commands.empty()) << count;
    EXPECT_EQ(model->skippedCommands, 1u) << count;
  }
}

TEST(Md2, SkinNameFillingSixtyFourBytesIsCutThere) {
  modelgen::Md2Source src = tinySource();
  ByteVector bytes = modelgen::encodeMd2(src);
  std::fill_n(bytes.begin() + 68, 64, 'k');
  auto model = formats::parseMd2(bytes, "x.md2");
  ASSERT_TRUE(model.ok());
  EXPECT_EQ(model->skinNames[0], std::string(64, 'k'));
  EXPECT_EQ(model->skinNames[1], "skins/b.pcx");
}

TEST(Md2, EmptySectionsMayPointAnywhere) {
  const struct {
    size_t countAt, offsetAt;
    int32_t offset;
  } rows[] = {
      {36, 60, 0x7FFFFFFF},  // no GL commands, far past the end
      {36, 60, -8},
      {20, 44, 0x7FFFFFFF},  // no skins
      {20, 44, -1},
  };
  for (const auto& row : rows) {
    ByteVector bytes = modelgen::encodeMd2(tinySource());
    modelgen::setI32(bytes, row.countAt, 0);
    modelgen::setI32(bytes, row.offsetAt, row.offset);
    auto model = formats::parseMd2(bytes, "empty.md2");
    ASSERT_TRUE(model.ok()) << row.offsetAt << ": " << model.error().text;
    EXPECT_TRUE(row.countAt == 36 ? model->commands.empty() : model->skinNames.empty()) << row.offsetAt;
    EXPECT_EQ(model->frames.size(), 2u) << row.offsetAt;
  }
}
