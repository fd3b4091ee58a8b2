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
bool texels_in_bounds(const SpanSetup &ss, const Span &sp) {
  const std::int64_t s1 = coord_at(sp.s, ss.g.dsdx, sp.count - 1);
  const std::int64_t t1 = coord_at(sp.t, ss.g.dtdx, sp.count - 1);
  if (!fits_i32(s1) || !fits_i32(t1)) return false;
  const std::int64_t s0 = sp.s >> 16, t0 = sp.t >> 16;
  const std::int64_t lo = ss.tex_start + (std::min(t0, t1 >> 16) << ss.width_log) +
                          std::min(s0, s1 >> 16);
  const std::int64_t hi = ss.tex_start + (std::max(t0, t1 >> 16) << ss.width_log) +
                          std::max(s0, s1 >> 16);
  return lo >= 0 && hi < ss.tex_size;
}

// The texel's offset in the texture source: (t >> 16) rows of the width plus s >> 16.
inline std::int64_t texel_offset(std::int64_t start, std::uint32_t s, std::uint32_t t,
                                 int width_log) {
  return start + (std::int64_t{static_cast<std::int32_t>(t) >> 16} << width_log) +
         (static_cast<std::int32_t>(s) >> 16);
}

// Fast loop: bounds were proven for the whole span. Everything it needs is copied
// into locals so that the buffer stores cannot force reloads. s and t step as
// unsigned values: the step after the last pixel may wrap and is never used.
void span_unguarded(const SpanSetup &ss, const Span &sp, std::uint16_t *color,
                    std::int16_t *depth) {
  const std::uint8_t *texels = ss.texels;
  const std::uint16_t *palette = dev.palette;
  const std::int64_t start = ss.tex_start;
  const int width_log = ss.width_log;
  const auto dsdx = static_cast<std::uint32_t>(ss.g.dsdx);
  const auto dtdx = static_cast<std::uint32_t>(ss.g.dtdx);
  const auto dzdx = static_cast<std::uint16_t>(ss.g.dzdx);
  auto s = static_cast<std::uint32_t>(sp.s), t = static_cast<std::uint32_t>(sp.t);
  auto z = static_cast<std::uint16_t>(sp.z);
  for (int i = 0; i < sp.count; ++i) {
    const auto zs = static_cast<std::int16_t>(z);
    if (zs > depth[i]) {
      depth[i] = zs;
      color[i] = palette[texels[texel_offset(start, s, t, width_log)]];
    }
    z = static_cast<std::uint16_t>(z + dzdx);
    s += dsdx;
    t += dtdx;
  }
}

// Guarded loop for spans whose coordinates leave the texture source or wrap:
// every address is clamped into the readable memory.
void span_guarded(const SpanSetup &ss, const Span &sp, std::uint16_t *color,
                  std::int16_t *depth) {
  const std::int64_t last = ss.tex_size - 1;
  auto s = static_cast<std::uint32_t>(sp.s), t = static_cast<std::uint32_t>(sp.t);
  std::int16_t z = sp.z;
  for (int i = 0; i < sp.count; ++i) {
    if (z > depth[i]) {
      depth[i] = z;
      const std::int64_t at = texel_offset(ss.tex_start, s, t, ss.width_log);
      color[i] = dev.palette[ss.texels[std::clamp<std::int64_t>(at, 0, last)]];
    }
    z = static_cast<std::int16_t>(z + ss.g.dzdx);
    s += static_cast<std::uint32_t>(ss.g.dsdx);
    t += static_cast<std::uint32_t>(ss.g.dtdx);
  }
}

}  // namespace

SpanSetup span_setup(const Gradients &g) {
  const TexSource &tex = dev.tex;
  return {g, tex.base, tex.start, static_cast<std::int64_t>(tex.size), tex.width_log};
}

void draw_span(const SpanSetup &ss, const Span &sp) {
  std::uint16_t *color = dev.color + sp.row * kBufferSide + sp.x;
  std::int16_t *depth = dev.depth + sp.row * kBufferSide + sp.x;
  if (texels_in_bounds(ss, sp)) {
    span_unguarded(ss, sp, color, depth);
  } else {
    span_guarded(ss, sp, color, depth);
  }
}

void prefetch_pixel(int row, int x) {
  const int at = row * kBufferSide + x;
  __builtin_prefetch(dev.depth + at, 1);
  __builtin_prefetch(dev.color + at, 1);
}

}  // namespace glide
