// Helpers shared by the glide tests: vertices, screen set-up and frame buffer reads.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "glide.h"

namespace glide_test {

// A vertex at (x, y) with the given 1/w; texture coordinates s/w, t/w.
inline GrVertex vertex(float x, float y, float oow = 0.01f, float sow = 0.0f, float tow = 0.0f) {
  GrVertex v{};
  v.x = x;
  v.y = y;
  v.oow = oow;
  v.tmuvtx[0].sow = sow;
  v.tmuvtx[0].tow = tow;
  v.tmuvtx[0].oow = oow;
  return v;
}

// Opens 640 x 480 ARGB and clears colour and depth to 0.
inline void open_screen(GrColorFormat_t format = GR_COLORFORMAT_ARGB) {
  grSstOpen(GR_RESOLUTION_640x480, GR_REFRESH_60Hz, format, GR_ORIGIN_UPPER_LEFT,
            GR_SMOOTHING_ENABLE, 2);
  grBufferClear(0, 0, 0);
}

inline std::uint16_t pixel(int x, int y) {
  std::uint16_t p = 0;
  guFbReadRegion(x, y, 1, 1, &p, 2);
  return p;
}

// One row of the colour buffer, `count` pixels from column 0.
inline std::vector<std::uint16_t> row(int y, int count) {
  std::vector<std::uint16_t> out(static_cast<std::size_t>(count));
  guFbReadRegion(0, y, count, 1, out.data(), count * 2);
  return out;
}

// Number of non-zero pixels in row y among the first `count` columns.
inline int lit_in_row(int y, int count = 64) {
  int n = 0;
  for (std::uint16_t p : row(y, count)) n += p != 0;
  return n;
}

inline int lit_in_rect(int x0, int y0, int w, int h) {
  std::vector<std::uint16_t> px(static_cast<std::size_t>(w) * h);
  guFbReadRegion(x0, y0, w, h, px.data(), w * 2);
  int n = 0;
  for (std::uint16_t p : px) n += p != 0;
  return n;
}

// A single-level 8-bit texture downloaded to the bottom of texture memory and selected.
inline void use_texture(GrLOD_t lod, GrAspectRatio_t aspect, std::vector<std::uint8_t> &texels) {
  GrTexInfo info{lod, lod, aspect, GR_TEXFMT_P_8, texels.data()};
  const FxU32 addr = grTexMinAddress(GR_TMU0);
  grTexDownloadMipMap(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
}

// A single-level texture of the given size with random indices and a random palette,
// drawn from rng in that order (texels, then palette).
inline void random_texture(std::mt19937 &rng, GrLOD_t lod, GrAspectRatio_t aspect,
                           std::vector<std::uint8_t> &texels) {
  texels.resize(grTexCalcMemRequired(lod, lod, aspect, GR_TEXFMT_P_8));
  for (std::uint8_t &t : texels) t = static_cast<std::uint8_t>(rng());
  use_texture(lod, aspect, texels);
  std::uint32_t palette[256];
  for (std::uint32_t &p : palette) p = rng() & 0x00FFFFFFu;
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
}

// A palette from which the sampled texel index can be read back: index bits 0-4 go
// to green and bits 5-7 to blue, both below the point where the brightening saturates.
inline void index_palette() {
  std::uint32_t table[256];
  for (std::uint32_t i = 0; i < 256; ++i) table[i] = ((i & 31u) << 10) | (((i >> 5) & 7u) << 3);
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, table);
}

inline int index_of(std::uint16_t p) {
  return (((p >> 5) & 63) - 16) | (((p & 31) - 8) << 5);
}

}  // namespace glide_test
