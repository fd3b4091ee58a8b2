// The span loop. Greater depth wins; a pixel that wins takes the palette colour of
// the texel under it, unmodulated. Texel addresses never leave the readable memory
// of the current texture source.
#include "span.h"

#include <algorithm>

#include "device.h"
#include "numeric.h"

namespace glide {
namespace {

// Steps a 16.16 coordinate n pixels in 64 bits, so that a wrap of the 32-bit
// coordinate within the span can be seen.
std::int64_t coord_at(std::int32_t v, std::int32_t step, int n) {
  return std::int64_t{v} + std::int64_t{step} * n;
}

bool fits_i32(std::int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

// True when every texel the span reads lies inside the texture source, which lets
// the loop skip the per-pixel guard. Without a wrap the texel column and row move
// monotonically along the span, so the extremes are at its two ends.
bool texels_in_bounds(const Span &sp, const Gradients &g) {
  const TexSource &tex = dev.tex;
  const std::int64_t s1 = coord_at(sp.s, g.dsdx, sp.count - 1);
  const std::int64_t t1 = coord_at(sp.t, g.dtdx, sp.count - 1);
  if (!fits_i32(s1) || !fits_i32(t1)) return false;
  const std::int64_t s0 = sp.s >> 16, t0 = sp.t >> 16;
  const std::int64_t width = std::int64_t{1} << tex.width_log;
  const std::int64_t lo = tex.start + std::min(t0, t1 >> 16) * width + std::min(s0, s1 >> 16);
  const std::int64_t hi = tex.start + std::max(t0, t1 >> 16) * width + std::max(s0, s1 >> 16);
  return lo >= 0 && hi < static_cast<std::int64_t>(tex.size);
}

// The texel index of 16.16 coordinates, as the texture source's byte offset.
inline std::int64_t texel_offset(std::int32_t s, std::int32_t t, int width_log) {
  return dev.tex.start + (std::int64_t{t >> 16} << width_log) + (s >> 16);
}

// Fast loop: bounds were proven for the whole span.
void span_unguarded(const Span &sp, const Gradients &g, std::uint16_t *color,
                    std::int16_t *depth) {
  const std::uint8_t *texels = dev.tex.base;
  const std::uint16_t *palette = dev.palette;
  const int width_log = dev.tex.width_log;
  std::int32_t s = sp.s, t = sp.t;
  std::int16_t z = sp.z;
  for (int i = 0; i < sp.count; ++i) {
    if (z > depth[i]) {
      depth[i] = z;
      color[i] = palette[texels[texel_offset(s, t, width_log)]];
    }
    z = static_cast<std::int16_t>(z + g.dzdx);
    s = wrap_add(s, g.dsdx);  // the step after the last pixel may wrap; it is never used
    t = wrap_add(t, g.dtdx);
  }
}

// Guarded loop for spans whose coordinates leave the texture source or wrap:
// every address is clamped into the readable memory.
void span_guarded(const Span &sp, const Gradients &g, std::uint16_t *color, std::int16_t *depth) {
  const std::int64_t last = static_cast<std::int64_t>(dev.tex.size) - 1;
  std::int32_t s = sp.s, t = sp.t;
  std::int16_t z = sp.z;
  for (int i = 0; i < sp.count; ++i) {
    if (z > depth[i]) {
      depth[i] = z;
      const std::int64_t at = std::clamp<std::int64_t>(texel_offset(s, t, dev.tex.width_log), 0, last);
      color[i] = dev.palette[dev.tex.base[at]];
    }
    z = static_cast<std::int16_t>(z + g.dzdx);
    s = wrap_add(s, g.dsdx);
    t = wrap_add(t, g.dtdx);
  }
}

}  // namespace

void draw_span(const Span &sp, const Gradients &g) {
  std::uint16_t *color = dev.color + sp.row * kBufferSide + sp.x;
  std::int16_t *depth = dev.depth + sp.row * kBufferSide + sp.x;
  if (texels_in_bounds(sp, g)) {
    span_unguarded(sp, g, color, depth);
  } else {
    span_guarded(sp, g, color, depth);
  }
}

}  // namespace glide
