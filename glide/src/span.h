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

// A run of pixels already clipped to the screen, with the values of its first pixel.
struct Span {
  int row;
  int x;
  int count;
  std::int32_t s;
  std::int32_t t;
  std::int16_t z;
};

void draw_span(const Span &span, const Gradients &g);

}  // namespace glide
