// libFuzzer target: fuzzed triangles (corners, depths, texture coordinates, texture,
// palette and cull mode from the input, hostile floats included) drawn with every span
// loop form the processor runs. Every form must leave the same colour and depth
// buffers as the scalar reference, and nothing may change outside the screen.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "device.h"
#include "scene_bytes.h"
#include "span.h"

using namespace glide_fuzz;

namespace {

constexpr GrColor_t kClearColour = 0x00123456;
constexpr FxU16 kClearDepth = 0x8000;  // the lowest depth: a first triangle over a pixel wins
// Where an overrun past the screen's right or bottom edge would land first.
constexpr int kBand = 16;

// Texels and palette from a small generator seeded by the input, so that one header
// byte changes the whole texture.
void load_texture(const Header &h, std::vector<std::uint8_t> &texels) {
  std::uint32_t x = h.seed | 1;
  auto next = [&x] {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
  };
  std::uint32_t palette[256];
  for (std::uint32_t &p : palette) p = next() & 0x00FFFFFFu;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  if (h.flags & kBuiltinTexture) return;
  GrTexInfo info{h.lod % 9, h.lod % 9, h.aspect % 7, GR_TEXFMT_P_8, nullptr};
  texels.resize(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info));
  for (std::uint8_t &t : texels) t = static_cast<std::uint8_t>(next());
  info.data = texels.data();
  const FxU32 start = h.flags & kStartAddress ? h.start : grTexMinAddress(GR_TMU0);
  grTexDownloadMipMap(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, start, GR_MIPMAPLEVELMASK_BOTH, &info);
}

constexpr GrCullMode_t kCulls[] = {GR_CULL_DISABLE, GR_CULL_NEGATIVE, GR_CULL_POSITIVE};

void draw_scene(glide::SpanPath path, const std::uint8_t *data, std::size_t size) {
  static std::vector<std::uint8_t> texels;
  const Header h = read_header(data);
  glide::reset_texture_state();
  glide::dev.cleared.known = false;  // so that the clear covers every pixel, margin too
  grBufferClear(kClearColour, 0, kClearDepth);
  glide::dev.span_path = path;
  load_texture(h, texels);
  grCullMode(kCulls[h.cull % 3]);
  const std::size_t count = std::min((size - kHeaderSize) / kTriangleSize, kMaxTriangles);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t *p = data + kHeaderSize + i * kTriangleSize;
    const GrVertex a = read_corner(p, 0), b = read_corner(p, 1), c = read_corner(p, 2);
    grDrawTriangle(&a, &b, &c);
  }
}

// The pixels right of the screen, and the rows below it, keep the clear values (the
// rows below were cleared at start-up and nothing clears them since).
bool outside_untouched() {
  const glide::Device &d = glide::dev;
  const std::uint16_t colour = glide::color_to_565(kClearColour);
  const auto depth = static_cast<std::int16_t>(kClearDepth);
  for (int y = 0; y < d.height + kBand; ++y) {
    const int from = y < d.height ? d.width : 0, to = y < d.height ? d.width + kBand : d.width;
    for (int x = from; x < to; ++x) {
      const int i = y * glide::kBufferSide + x;
      if (d.color[i] != colour || d.depth[i] != depth) return false;
    }
  }
  return true;
}

// The rows a triangle can reach, and the band below them.
std::size_t reachable_pixels() {
  return static_cast<std::size_t>(glide::dev.height + kBand) * glide::kBufferSide;
}

struct Buffers {
  std::vector<std::uint16_t> color;
  std::vector<std::int16_t> depth;
};

void capture(Buffers &b) {
  const std::size_t n = reachable_pixels();
  b.color.assign(glide::dev.color, glide::dev.color + n);
  b.depth.assign(glide::dev.depth, glide::dev.depth + n);
}

bool same_as(const Buffers &b) {
  const std::size_t bytes = reachable_pixels() * 2;
  return std::memcmp(b.color.data(), glide::dev.color, bytes) == 0 &&
         std::memcmp(b.depth.data(), glide::dev.depth, bytes) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  grGlideInit();
  // A small screen, for more runs per second; its rows are still several vector steps.
  grSstOpen(GR_RESOLUTION_320x240, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT,
            GR_SMOOTHING_ENABLE, 2);
  const std::size_t below = static_cast<std::size_t>(glide::dev.height) * glide::kBufferSide;
  std::fill(glide::dev.color + below, std::end(glide::dev.color), glide::color_to_565(kClearColour));
  std::fill(glide::dev.depth + below, std::end(glide::dev.depth), static_cast<std::int16_t>(kClearDepth));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < kHeaderSize) return 0;
  draw_scene(glide::SpanPath::Scalar, data, size);
  if (!outside_untouched()) __builtin_trap();
  static Buffers reference;
  capture(reference);
  for (glide::SpanPath path : {glide::SpanPath::Sse2, glide::SpanPath::Avx2}) {
    if (!glide::processor_runs(path)) continue;
    draw_scene(path, data, size);
    if (!same_as(reference)) __builtin_trap();
  }
  return 0;
}
