// One row of a filled triangle: depth test, texel fetch, palette look-up.
#pragma once

#include <cstdint>

namespace glide {

// Per-pixel steps to the right: s and t in 16.16 texels, depth in 16-bit units.
struct Gradients {
  std::int32_t dsdx;
  std::int32_t dtdx;
  std::int16_t dzdx;
};

// What all spans of one triangle share, gathered once per triangle, including the
// steps of the fast loop's texel accumulators (see span.cpp).
struct SpanSetup {
  Gradients g;
  const std::uint8_t *texels;  // the texture source's readable memory
  std::int64_t tex_start;      // offset of texel (0, 0) in it; may lie outside
  std::int64_t tex_size;
  int width_log;
  bool all_in_bounds;       // every span of the triangle reads inside the texture source
  std::int64_t row_mask;    // clears the column bits of a texel offset
  std::int64_t start_16;    // tex_start in 16.16
  std::int64_t dt_rows;     // dtdx times the texture width
};

// The range of 16.16 texture coordinates a triangle can reach, in 64 bits.
struct CoordRange {
  std::int64_t s_lo, s_hi, t_lo, t_hi;
};

// A run of pixels already clipped to the screen, with the values of its first pixel.
struct Span {
  int row;
  int x;
  int count;
  std::int32_t s;
  std::int32_t t;
  std::int16_t z;
};

// Gathers the per-triangle span state; `reach` bounds every s and t of its spans.
SpanSetup span_setup(const Gradients &g, const CoordRange &reach);
void draw_span(const SpanSetup &setup, const Span &span);
// The fast loop's constants, copied out of the set-up so that a caller can keep them
// in registers across all rows of a triangle.
struct SpanLoop {
  const std::uint8_t *texels;
  std::int64_t row_mask, ds, dt, start_16;
  int width_log;
  std::int32_t dz;
};

SpanLoop span_loop(const SpanSetup &setup);

// The span loop for a triangle whose texel reads are all in bounds
// (setup.all_in_bounds), given the buffer addresses of the first pixel.
void draw_span_in_bounds(const SpanLoop &loop, std::uint16_t *color, std::int16_t *depth,
                         int count, std::int32_t s, std::int32_t t, std::int16_t z);

}  // namespace glide
