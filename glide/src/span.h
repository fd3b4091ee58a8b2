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

// What all spans of one triangle share, gathered once per triangle.
struct SpanSetup {
  Gradients g;
  const std::uint8_t *texels;  // the texture source's readable memory
  std::int64_t tex_start;      // offset of texel (0, 0) in it; may lie outside
  std::int64_t tex_size;
  int width_log;
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

SpanSetup span_setup(const Gradients &g);
void draw_span(const SpanSetup &setup, const Span &span);
// Starts loading the buffer lines of a pixel that a coming span will touch.
void prefetch_pixel(int row, int x);

}  // namespace glide
