// The vector span loops against the scalar reference: the same scenes drawn with
// each form must leave every colour and depth value of the buffers the same, margins
// right of and below the screen included. Linked against glide's code itself, since
// only the device shows the depth buffer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "device.h"
#include "glide_test_util.h"
#include "span.h"

using namespace glide_test;
using glide::SpanPath;

namespace {

struct Buffers {
  std::vector<std::uint16_t> color;
  std::vector<std::int16_t> depth;
};

Buffers capture() {
  const glide::Device &d = glide::dev;
  return {{std::begin(d.color), std::end(d.color)}, {std::begin(d.depth), std::end(d.depth)}};
}

bool runs(SpanPath path) { return glide::processor_runs(path); }

const char *name_of(SpanPath path) {
  return path == SpanPath::Scalar ? "scalar" : path == SpanPath::Sse2 ? "sse2" : "avx2";
}

// Opens the screen with the depth buffer cleared to its lowest value, so that the
// first triangle over a pixel always wins, and draws the scene with one span path.
Buffers draw_with(SpanPath path, const std::function<void()> &scene) {
  open_screen();
  grBufferClear(0x00123456, 0, 0x8000);
  glide::dev.span_path = path;
  scene();
  return capture();
}

// Where the first difference is, as "colour"/"depth" and the pixel.
std::string first_difference(const Buffers &a, const Buffers &b) {
  for (std::size_t i = 0; i < a.color.size(); ++i) {
    const int x = static_cast<int>(i % glide::kBufferSide), y = static_cast<int>(i / glide::kBufferSide);
    if (a.color[i] != b.color[i]) return "colour at " + std::to_string(x) + "," + std::to_string(y);
    if (a.depth[i] != b.depth[i]) return "depth at " + std::to_string(x) + "," + std::to_string(y);
  }
  return "";
}

// Draws the scene with the scalar loop and with each vector path and compares.
void expect_same_pictures(const std::function<void()> &scene, const std::string &what) {
  const Buffers reference = draw_with(SpanPath::Scalar, scene);
  for (SpanPath path : {SpanPath::Sse2, SpanPath::Avx2}) {
    if (!runs(path)) continue;
    EXPECT_EQ(first_difference(reference, draw_with(path, scene)), "")
        << what << ", " << name_of(path);
  }
}

void draw(const GrVertex &a, const GrVertex &b, const GrVertex &c) { grDrawTriangle(&a, &b, &c); }

// A texture whose texels and palette entries all differ, so that a wrong texel
// address shows.
void ramp_texture(std::vector<std::uint8_t> &texels) {
  texels.resize(256 * 256);
  for (std::size_t i = 0; i < texels.size(); ++i) {
    texels[i] = static_cast<std::uint8_t>((i * 7) ^ (i >> 8));
  }
  use_texture(GR_LOD_256, GR_ASPECT_1x1, texels);
  std::uint32_t palette[256];
  for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x00030507u;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
}

TEST(SpanPaths, EveryStartColumnAndSpanLength) {
  std::vector<std::uint8_t> texels;
  // Right triangles whose rows run through every length from 479 or 640 down to 1,
  // starting at each column of an 8-pixel step, depth falling to the right and down.
  for (int x0 = 0; x0 < 9; ++x0) {
    expect_same_pictures(
        [&] {
          ramp_texture(texels);
          draw(vertex(x0, 0, 0.02f, 0, 0), vertex(x0 + 640, 0, 0.001f, 255 * 0.001f, 0),
               vertex(x0, 480, 0.01f, 0, 255 * 0.01f));
        },
        "right triangle at column " + std::to_string(x0));
  }
  // The same across the full screen, so the vector rows end exactly at the right edge.
  expect_same_pictures(
      [&] {
        ramp_texture(texels);
        draw(vertex(0, 0, 0.02f), vertex(640, 0, 0.02f, 255 * 0.02f, 0),
             vertex(0, 480, 0.02f, 0, 255 * 0.02f));
        draw(vertex(640, 0, 0.02f, 255 * 0.02f, 0), vertex(640, 480, 0.02f, 255 * 0.02f, 255 * 0.02f),
             vertex(0, 480, 0.02f, 0, 255 * 0.02f));
      },
      "screen-covering pair");
}

TEST(SpanPaths, DepthTestWithinOneStep) {
  std::vector<std::uint8_t> texels;
  // A steep depth slope through an earlier surface makes the test pass and fail
  // within the same group of pixels; equal depths must keep the first triangle.
  expect_same_pictures(
      [&] {
        ramp_texture(texels);
        draw(vertex(0, 0, 0.01f), vertex(640, 0, 0.01f, 100, 0), vertex(0, 480, 0.01f, 0, 100));
        draw(vertex(0, 0, 0.0f, 0, 0), vertex(640, 0, 0.02f, 200 * 0.02f, 0),
             vertex(0, 480, 0.0f, 0, 0));
        draw(vertex(0, 0, 0.01f), vertex(640, 0, 0.01f, 30, 0), vertex(0, 480, 0.01f, 0, 30));
      },
      "crossing surfaces");
}

TEST(SpanPaths, ClippedAndOutOfTextureTriangles) {
  std::vector<std::uint8_t> texels;
  expect_same_pictures(
      [&] {
        ramp_texture(texels);
        // Over the left, right, top and bottom screen edges.
        draw(vertex(-300, 10, 0.02f), vertex(100, 40, 0.02f, 3, 0), vertex(-50, 400, 0.02f, 0, 4));
        draw(vertex(500, 20, 0.02f), vertex(900, 60, 0.02f, 5, 0), vertex(550, 300, 0.02f, 0, 5));
        draw(vertex(100, -200, 0.02f), vertex(400, 100, 0.02f, 5, 1), vertex(50, 100, 0.02f, 0, 5));
        draw(vertex(100, 300, 0.02f), vertex(400, 700, 0.02f, 5, 5), vertex(20, 600, 0.02f, 0, 5));
        // Texture coordinates far beyond the texture: the guarded loop.
        draw(vertex(10, 10, 0.02f, -50, -50), vertex(600, 30, 0.02f, 90, 0),
             vertex(30, 450, 0.02f, 0, 90));
      },
      "clipped triangles");
}

// Random triangles of every size, on and off the screen, with random textures,
// palettes, depths and cull modes; each round is one picture compared whole.
TEST(SpanPaths, RandomTriangles) {
  constexpr GrLOD_t kLods[] = {GR_LOD_256, GR_LOD_128, GR_LOD_32, GR_LOD_8};
  constexpr GrAspectRatio_t kAspects[] = {GR_ASPECT_1x1, GR_ASPECT_4x1, GR_ASPECT_1x2,
                                          GR_ASPECT_1x8};
  constexpr GrCullMode_t kCulls[] = {GR_CULL_DISABLE, GR_CULL_NEGATIVE, GR_CULL_POSITIVE};
  std::vector<std::uint8_t> texels;
  for (unsigned round = 0; round < 8; ++round) {
    expect_same_pictures(
        [&] {
          std::mt19937 rng(round);
          random_texture(rng, kLods[round % 4], kAspects[(round / 2) % 4], texels);
          grCullMode(kCulls[round % 3]);
          const bool small = round < 4;  // small triangles, then large ones
          const float size = small ? 40.0f : 600.0f;
          std::uniform_real_distribution<float> pos(-60, 700), spread(-size, size),
              oow(0.0005f, 0.031f), coord(-20, 280);
          for (int i = 0; i < (small ? 1000 : 250); ++i) {
            GrVertex v[3];
            const float x = pos(rng), y = pos(rng);
            for (GrVertex &c : v) {
              const float w = oow(rng);
              c = vertex(x + spread(rng), y + spread(rng), w, coord(rng) * w, coord(rng) * w);
            }
            draw(v[0], v[1], v[2]);
          }
          grCullMode(GR_CULL_DISABLE);
        },
        "random round " + std::to_string(round));
  }
}

// GLIDE_SPANS picks the path when the screen opens; an unknown name draws with the
// fastest path rather than failing.
TEST(SpanPaths, ChosenByTheEnvironment) {
  const struct {
    const char *value;
    SpanPath path;
  } rows[] = {{"scalar", SpanPath::Scalar}, {"sse2", SpanPath::Sse2}, {"avx2", SpanPath::Avx2}};
  for (const auto &r : rows) {
    if (!runs(r.path)) continue;
    setenv("GLIDE_SPANS", r.value, 1);
    open_screen();
    EXPECT_EQ(glide::dev.span_path, r.path) << r.value;
  }
  setenv("GLIDE_SPANS", "mmx", 1);
  testing::internal::CaptureStderr();
  open_screen();
  EXPECT_NE(testing::internal::GetCapturedStderr().find("GLIDE_SPANS=mmx"), std::string::npos);
  unsetenv("GLIDE_SPANS");
  open_screen();
  const SpanPath fastest = runs(SpanPath::Avx2)   ? SpanPath::Avx2
                           : runs(SpanPath::Sse2) ? SpanPath::Sse2
                                                  : SpanPath::Scalar;
  EXPECT_EQ(glide::dev.span_path, fastest);
}

}  // namespace
