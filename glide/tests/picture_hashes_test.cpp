// Whole pictures against hashes recorded from an earlier, slower form of the
// rasterizer: the benchmark's scenes and random scenes (hostile floats included) must
// leave every colour and depth value of both buffers exactly as they were, with each
// span loop. Set-up and span code may be rearranged for speed, never its results.
//
// Scenes take their numbers from std::mt19937, whose sequence the standard fixes,
// and map them to floats by hand: the distributions differ between standard libraries.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "device.h"
#include "glide_test_util.h"
#include "span.h"

using namespace glide_test;
using glide::SpanPath;

namespace {

// FNV-1a over both whole buffers, margins included.
std::uint64_t picture_hash() {
  std::uint64_t h = 0xcbf29ce484222325u;
  auto add = [&h](const void *data, std::size_t size) {
    const auto *bytes = static_cast<const unsigned char *>(data);
    for (std::size_t i = 0; i < size; ++i) h = (h ^ bytes[i]) * 0x100000001b3u;
  };
  add(glide::dev.color, sizeof glide::dev.color);
  add(glide::dev.depth, sizeof glide::dev.depth);
  return h;
}

// A float in [lo, hi) from the top 24 bits of one draw.
float uniform(std::mt19937 &rng, float lo, float hi) {
  return lo + (hi - lo) * static_cast<float>(rng() >> 8) * (1.0f / 16777216.0f);
}

// The benchmark's texture and palette.
void benchmark_texture(std::vector<std::uint8_t> &texels) {
  texels.resize(256 * 256);
  for (int i = 0; i < 256 * 256; ++i) texels[i] = static_cast<std::uint8_t>((i >> 3) ^ (i >> 11));
  use_texture(GR_LOD_256, GR_ASPECT_1x1, texels);
  std::uint32_t palette[256];
  for (std::uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010305u;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
}

// A corner as the benchmark makes it: nearness 0..1 to 1/w, texture 0..1 to 0..255.
GrVertex corner(float x, float y, float near, float u, float v) {
  const float oow = 0.001f + near * 0.029f;
  return vertex(x, y, oow, u * 255.0f * oow, v * 255.0f * oow);
}

void draw(const GrVertex &a, const GrVertex &b, const GrVertex &c) { grDrawTriangle(&a, &b, &c); }

// 1,000 right triangles with 8-pixel legs scattered over the screen.
void model_scene(std::vector<std::uint8_t> &texels) {
  benchmark_texture(texels);
  std::mt19937 rng(7);
  for (int i = 0; i < 1000; ++i) {
    const float x = std::floor(uniform(rng, 0, 631)), y = std::floor(uniform(rng, 0, 471));
    const float n = uniform(rng, 0.05f, 0.95f), u = uniform(rng, 0, 0.9f),
                v = uniform(rng, 0, 0.9f), d = 8.0f / 256.0f;
    draw(corner(x, y, n, u, v), corner(x + 8, y, n, u + d, v), corner(x, y + 8, n, u, v + d));
  }
}

// 50 screen-covering pairs, each nearer than the last.
void fill_scene(std::vector<std::uint8_t> &texels) {
  benchmark_texture(texels);
  for (int i = 0; i < 50; ++i) {
    const float n = 0.05f + 0.9f * static_cast<float>(i) / 50;
    const GrVertex tl = corner(0, 0, n, 0, 0), tr = corner(640, 0, n, 1, 0),
                   bl = corner(0, 480, n, 0, 1), br = corner(640, 480, n, 1, 1);
    draw(tl, tr, bl);
    draw(tr, br, bl);
  }
}

// Now and then a coordinate that no caller should send.
float hostile(std::mt19937 &rng, float plain) {
  constexpr float kOdd[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(), 1e30f, -1e30f, 0.0f,
                            -0.0f, 16383.9f, -16384.0f};
  if (rng() % 64 != 0) return plain;
  return kOdd[rng() % std::size(kOdd)];
}

// Triangles of one size class around the screen, with a random texture, palette
// and cull mode; now and then a corner carries a hostile value.
void random_scene(unsigned seed, float size, int count, std::vector<std::uint8_t> &texels) {
  constexpr GrLOD_t kLods[] = {GR_LOD_256, GR_LOD_64, GR_LOD_16, GR_LOD_1};
  constexpr GrAspectRatio_t kAspects[] = {GR_ASPECT_1x1, GR_ASPECT_8x1, GR_ASPECT_1x4,
                                          GR_ASPECT_2x1};
  constexpr GrCullMode_t kCulls[] = {GR_CULL_DISABLE, GR_CULL_NEGATIVE, GR_CULL_POSITIVE};
  std::mt19937 rng(seed);
  const GrLOD_t lod = kLods[seed % 4];
  const GrAspectRatio_t aspect = kAspects[(seed / 4) % 4];
  random_texture(rng, lod, aspect, texels);
  grCullMode(kCulls[seed % 3]);
  for (int i = 0; i < count; ++i) {
    const float x = uniform(rng, -80, 720), y = uniform(rng, -80, 560);
    GrVertex v[3];
    for (GrVertex &c : v) {
      const float w = uniform(rng, 0.0005f, 0.031f);
      const float s = uniform(rng, -40, 300), t = uniform(rng, -40, 300);
      c = vertex(hostile(rng, x + uniform(rng, -size, size)),
                 hostile(rng, y + uniform(rng, -size, size)), hostile(rng, w), hostile(rng, s * w),
                 hostile(rng, t * w));
    }
    draw(v[0], v[1], v[2]);
  }
  grCullMode(GR_CULL_DISABLE);
}

struct Scene {
  const char *name;
  std::function<void(std::vector<std::uint8_t> &)> draw;
  std::uint64_t hash;  // recorded from the reference rasterizer
};

std::vector<Scene> scenes() {
  return {
      {"model", model_scene, 0xb5fb936bfd2623ae},
      {"fill", fill_scene, 0xe8a0c8ff954ccc06},
      {"tiny", [](auto &t) { random_scene(1, 6, 4000, t); }, 0x28f48488369d163c},
      {"small", [](auto &t) { random_scene(2, 20, 2000, t); }, 0xdaee09b1b8c974cb},
      {"medium", [](auto &t) { random_scene(3, 90, 600, t); }, 0x043849d88a7f3878},
      {"large", [](auto &t) { random_scene(4, 500, 120, t); }, 0x00d8a7be710fb9a0},
      {"small textures", [](auto &t) { random_scene(13, 30, 1500, t); }, 0x7833289ea8c4f976},
      {"narrow textures", [](auto &t) { random_scene(6, 60, 800, t); }, 0x80cb9b0b8d59bafc},
  };
}

const char *name_of(SpanPath path) {
  return path == SpanPath::Scalar ? "scalar" : path == SpanPath::Sse2 ? "sse2" : "avx2";
}

TEST(PictureHashes, EveryScenePixelForPixelAsRecorded) {
  std::vector<std::uint8_t> texels;
  for (const Scene &scene : scenes()) {
    for (SpanPath path : {SpanPath::Scalar, SpanPath::Sse2, SpanPath::Avx2}) {
      if (!glide::processor_runs(path)) continue;
      open_screen();
      grBufferClear(0x00102030, 0, 0);
      glide::dev.span_path = path;
      scene.draw(texels);
      const std::uint64_t h = picture_hash();
      EXPECT_EQ(h, scene.hash) << scene.name << ", " << name_of(path) << ": got 0x" << std::hex
                               << h;
    }
  }
}

}  // namespace
