// Filled triangles, culling, the depth test, the clip guard, lines, points and
// planar polygons, checked pixel by pixel.
#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "glide_test_util.h"

using namespace glide_test;

namespace {

using Pixels = std::set<std::pair<int, int>>;

// Every lit pixel in the top-left 64 x 64 corner.
Pixels lit_pixels() {
  Pixels out;
  for (int y = 0; y < 64; ++y) {
    const std::vector<std::uint16_t> r = row(y, 64);
    for (int x = 0; x < 64; ++x) {
      if (r[x] != 0) out.insert({x, y});
    }
  }
  return out;
}

void triangle(float ax, float ay, float bx, float by, float cx, float cy, float oow = 0.01f) {
  const GrVertex a = vertex(ax, ay, oow), b = vertex(bx, by, oow), c = vertex(cx, cy, oow);
  grDrawTriangle(&a, &b, &c);
}

void line(float ax, float ay, float bx, float by) {
  const GrVertex a = vertex(ax, ay), b = vertex(bx, by);
  grDrawLine(&a, &b);
}

// Makes palette entry 0, which the built-in texture samples, the given colour.
void palette_colour(std::uint32_t rgb) {
  std::uint32_t table[256] = {};
  table[0] = rgb;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, table);
}

TEST(Triangle, ReferenceTriangleRowsShrinkByOne) {
  open_screen();
  triangle(0, 0, 4, 0, 0, 4);
  const int expected[] = {4, 3, 2, 1, 0};
  for (int y = 0; y < 5; ++y) {
    EXPECT_EQ(lit_in_row(y), expected[y]) << "row " << y;
    if (expected[y] > 0) {
      EXPECT_NE(pixel(0, y), 0) << "row " << y << " starts at column 0";
    }
  }
  EXPECT_EQ(pixel(0, 0), 0x001F);
}

TEST(Triangle, AreaThresholdDropsSlivers) {
  const struct {
    float bx, cy;
    bool drawn;
  } rows[] = {{3, 2, true}, {2, 2, false}, {5, 1, true}, {4, 1, false}};  // area 6, 4, 5, 4
  for (const auto &r : rows) {
    open_screen();
    triangle(0, 0, r.bx, 0, 0, r.cy);
    EXPECT_EQ(!lit_pixels().empty(), r.drawn) << r.bx << " " << r.cy;
  }
}

TEST(Triangle, CullingByTheSignOfTheArea) {
  const struct {
    GrCullMode_t mode;
    bool negative_drawn, positive_drawn;
  } rows[] = {{GR_CULL_DISABLE, true, true},
              {GR_CULL_POSITIVE, false, true},
              {GR_CULL_NEGATIVE, true, false},
              {7, true, true}};
  for (const auto &r : rows) {
    grCullMode(r.mode);
    open_screen();
    triangle(0, 0, 10, 0, 0, 10);  // area -100
    EXPECT_EQ(!lit_pixels().empty(), r.negative_drawn) << r.mode;
    open_screen();
    triangle(0, 0, 0, 10, 10, 0);  // area +100
    EXPECT_EQ(!lit_pixels().empty(), r.positive_drawn) << r.mode;
  }
  grCullMode(GR_CULL_DISABLE);
}

TEST(Triangle, VertexPositionsAreTruncated) {
  open_screen();
  triangle(10.9f, 0, 20, 0, 10.9f, 10);
  EXPECT_NE(pixel(10, 1), 0);
  EXPECT_EQ(pixel(9, 1), 0);
  EXPECT_EQ(lit_in_row(9, 64), 1);  // the last row before the truncated bottom at 10
  EXPECT_EQ(lit_in_row(10, 64), 0);
}

TEST(Triangle, SamplesTheTexelUnderEachPixel) {
  // s and t run one texel per pixel; shifted left by 10, the first visible pixel of
  // a row must sample texel 10 of it.
  for (int shift : {0, -10}) {
    open_screen();
    index_palette();
    std::vector<std::uint8_t> texels(64 * 64);
    for (int i = 0; i < 64 * 64; ++i) texels[i] = static_cast<std::uint8_t>(i % 64 + 7 * (i / 64));
    use_texture(GR_LOD_64, GR_ASPECT_1x1, texels);
    const float oow = 1.0f / 128.0f;
    const float x0 = static_cast<float>(shift);
    const GrVertex a = vertex(x0, 0, oow, 0, 0), b = vertex(x0 + 64, 0, oow, 256 * oow, 0),
                   c = vertex(x0, 64, oow, 0, 256 * oow);
    grDrawTriangle(&a, &b, &c);
    for (int y : {0, 10, 40}) {
      const std::vector<std::uint16_t> r = row(y, 65);
      const int count = 64 - y + shift;
      for (int x = 0; x < count; ++x) {
        ASSERT_EQ(index_of(r[x]), (x - shift + 7 * y) & 255) << x << "," << y << " shift " << shift;
      }
      EXPECT_EQ(r[count], 0);
    }
  }
}

TEST(Triangle, NegativeTexelColumnsReachIntoThePreviousTexelRow) {
  // The texel address is row * width + column, so a column left of 0 reads the end
  // of the row above, on every pixel of a triangle wholly on the screen. t sits one
  // 16.16 step below the next texel row, so any carry into it shows.
  open_screen();
  index_palette();
  std::vector<std::uint8_t> texels(64 * 64);
  for (int i = 0; i < 64 * 64; ++i) texels[i] = static_cast<std::uint8_t>(i % 64 + 7 * (i / 64));
  use_texture(GR_LOD_64, GR_ASPECT_1x1, texels);
  const float oow = 1.0f / 128.0f, texel = 4 * oow, below = 65535.0f / 65536.0f;
  const GrVertex a = vertex(0, 8, oow, -10 * texel, (8 + below) * texel),
                 b = vertex(64, 8, oow, 54 * texel, (8 + below) * texel),
                 c = vertex(0, 56, oow, -10 * texel, (56 + below) * texel);
  grDrawTriangle(&a, &b, &c);
  for (int y : {8, 9, 30, 54}) {
    const std::vector<std::uint16_t> r = row(y, 64);
    for (int x = 0; x < 56 - y; ++x) {
      const int at = y * 64 + x - 10;
      ASSERT_EQ(index_of(r[x]), (at % 64 + 7 * (at / 64)) & 255) << x << "," << y;
    }
  }
}

TEST(Depth, GreaterWinsAndTiesKeepTheFirst) {
  const struct {
    float first_oow, second_oow;
    bool second_visible;
  } rows[] = {{0.01f, 0.02f, true}, {0.02f, 0.01f, false}, {0.01f, 0.01f, false}};
  for (const auto &r : rows) {
    open_screen();
    palette_colour(0x00FF0000);
    triangle(0, 0, 40, 0, 0, 40, r.first_oow);
    const std::uint16_t first = pixel(2, 2);
    palette_colour(0x0000FF00);
    triangle(10, 0, 50, 0, 10, 40, r.second_oow);
    const std::uint16_t second = pixel(45, 1);
    ASSERT_NE(first, second);
    EXPECT_EQ(pixel(12, 2), r.second_visible ? second : first)
        << r.first_oow << " then " << r.second_oow;
  }
}

TEST(Depth, ClearedDepthIsComparedAsSigned) {
  open_screen();
  grBufferClear(0, 0, 0x7FFF);  // the largest signed value: nothing is nearer
  triangle(0, 0, 8, 0, 0, 8, 0.02f);
  EXPECT_EQ(lit_pixels().size(), 0u);
  grBufferClear(0, 0, 0xFFFF);  // -1: anything with positive 1/w is nearer
  triangle(0, 0, 8, 0, 0, 8, 0.02f);
  EXPECT_FALSE(lit_pixels().empty());
}

TEST(ClipGuard, DropsTrianglesWithACornerOffTheScreen) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    float x, y;
    bool drawn;
  } rows[] = {{0.0f, 0.0f, true},       {-0.0f, 0.0f, true},  {0.0f, -0.0f, true},
              {639.99f, 0.0f, true},    {640.0f, 0.0f, false}, {0.0f, 480.0f, false},
              {-0.001f, 0.0f, false},   {nan, 0.0f, false},   {-nan, 0.0f, false}};
  for (const auto &r : rows) {
    open_screen();
    const GrVertex a = vertex(r.x, r.y), b = vertex(20, 20), c = vertex(20, 40);
    guDrawTriangleWithClip(&a, &b, &c);
    guDrawTriangleWithClip(&b, &c, &a);  // position in the list does not matter
    EXPECT_EQ(lit_in_rect(0, 0, 64, 64) > 0, r.drawn) << r.x << " " << r.y;
  }
}

TEST(Line, BothDirectionsSetTheSamePixelsEndToEnd) {
  const struct {
    int x0, y0, x1, y1;
    Pixels expected;
  } rows[] = {
      {0, 0, 4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}},
      {0, 0, 2, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}}},
      {0, 4, 2, 0, {{2, 0}, {2, 1}, {1, 2}, {1, 3}, {0, 4}}},
      {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},  // a diagonal reaches its far end
      {3, 0, 0, 3, {{3, 0}, {2, 1}, {1, 2}, {0, 3}}},
      {5, 5, 5, 5, {{5, 5}}},
  };
  for (const auto &r : rows) {
    for (bool reverse : {false, true}) {
      open_screen();
      if (reverse) {
        line(r.x1, r.y1, r.x0, r.y0);
      } else {
        line(r.x0, r.y0, r.x1, r.y1);
      }
      EXPECT_EQ(lit_pixels(), r.expected) << r.x0 << "," << r.y0 << " " << r.x1 << "," << r.y1;
      EXPECT_EQ(pixel(r.x1, r.y1), 0xFFFF);
    }
  }
}

TEST(Line, PixelsOffTheScreenAreSkipped) {
  open_screen();
  line(-5, 3, 5, 3);
  EXPECT_EQ(lit_in_row(3), 6);
  line(630, 470, 700, 540);
  EXPECT_EQ(lit_in_rect(640, 0, 384, 1024), 0);
  EXPECT_EQ(lit_in_rect(0, 480, 1024, 544), 0);
  EXPECT_EQ(pixel(639, 479), 0xFFFF);
}

TEST(Point, UsesTheConstantColourThatLinesMakeWhite) {
  open_screen();
  grConstantColorValue(0x000000FF);
  GrVertex p = vertex(7, 7);
  grDrawPoint(&p);
  EXPECT_EQ(pixel(7, 7), 0x001F);
  line(0, 0, 1, 0);
  p = vertex(9, 9);
  grDrawPoint(&p);
  EXPECT_EQ(pixel(9, 9), 0xFFFF);
  p = vertex(-1, 9);
  grDrawPoint(&p);  // off the screen: nothing
  p = vertex(640, 0);
  grDrawPoint(&p);
  EXPECT_EQ(pixel(640, 0), 0);
}

// A 40 x 40 square around the centre (20, 20): the fan from the centre draws the
// top, right and bottom quarters; the closing left quarter is not part of it.
const GrVertex kSquare[5] = {vertex(20, 20), vertex(0, 0), vertex(40, 0), vertex(40, 40),
                             vertex(0, 40)};

void expect_three_quarters() {
  EXPECT_NE(pixel(20, 5), 0);
  EXPECT_NE(pixel(35, 20), 0);
  EXPECT_NE(pixel(20, 35), 0);
  EXPECT_EQ(pixel(5, 20), 0);
}

TEST(PlanarPolygon, FanSharesTheFirstListedVertex) {
  open_screen();
  const int order[5] = {0, 1, 2, 3, 4};
  grDrawPlanarPolygon(2, order, kSquare);
  grDrawPlanarPolygonVertexList(2, kSquare);
  EXPECT_EQ(lit_pixels().size(), 0u);
  grDrawPlanarPolygon(5, order, kSquare);
  expect_three_quarters();

  open_screen();
  grDrawPlanarPolygonVertexList(5, kSquare);
  expect_three_quarters();
}

}  // namespace
