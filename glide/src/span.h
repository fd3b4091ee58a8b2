// One row of a filled triangle: depth test, texel fetch, palette look-up.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device.h"

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
  SpanPath path;
  const std::uint8_t *texels;  // the texture source's readable memory
  std::int64_t tex_start;      // offset of texel (0, 0) in it; may lie outside
  std::int64_t tex_size;
  int width_log;
  bool all_in_bounds;       // every span of the triangle reads inside the texture source
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

// The fast loop's constants for a triangle whose texel reads are all in bounds
// (setup.all_in_bounds). Its addresses are offsets from the device, so one base
// register reaches the colour, depth, palette and texels, and a caller walking many
// short rows keeps everything else in registers.
struct SpanLoop {
  std::int64_t texel_16;  // offset of texel (0, 0) from the device, times 2^16
  std::int64_t row_mask;  // clears the column bits of a texel offset
  std::int64_t ds;        // dsdx
  std::int64_t dt;        // dtdx times the texture width
  std::int32_t dtdx;      // for the vector loops, which shift t per pixel instead
  int width_log;
  std::uint16_t dz;
};

SpanLoop span_loop(const SpanSetup &setup);

// The vector loops keep s and t as 32-bit 16.16 values per lane; with the bounds
// proven they take the same values as the 64-bit accumulators. Their texel offset
// from the device is then (texel_16 >> 16) + ((t >> 16) << width_log) + (s >> 16),
// which fits 32 bits because every texel read lies inside the device.
inline std::int32_t loop_texel_base(const SpanLoop &loop) {
  return static_cast<std::int32_t>(loop.texel_16 >> 16);
}

// The rows of one half of a triangle drawn by the fast loop: the left edge's x, s, t
// and depth and the right edge's x, each with its step per row.
struct RowWalk {
  std::ptrdiff_t row;  // buffer offset of column 0 of the first row
  int rows;
  std::int32_t lx, dlx, rx, drx;
  std::int32_t s, ds, t, dt, z, dz;
};

// The path for this processor, or the one GLIDE_SPANS (scalar, sse2, avx2) names;
// a name that is unknown or that the processor cannot run is reported on stderr.
SpanPath choose_span_path();
bool processor_runs(SpanPath path);

#if defined(__x86_64__)
#define GLIDE_VECTOR_SPANS 1
// The vector forms of span_in_bounds (s and t as plain 16.16) and of the row walk.
void span_sse2(const SpanLoop &loop, std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
               std::int32_t t, std::uint16_t z);
void span_avx2(const SpanLoop &loop, std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
               std::int32_t t, std::uint16_t z);
void walk_rows_sse2(const SpanLoop &loop, RowWalk &walk);
void walk_rows_avx2(const SpanLoop &loop, RowWalk &walk);
#endif

// A 16.16 s, and a 16.16 t or t step, in the fast loop's accumulator form.
inline std::int64_t loop_s(const SpanLoop &loop, std::int32_t s) {
  return s + loop.texel_16;
}
inline std::int64_t loop_t(const SpanLoop &loop, std::int32_t t) {
  return std::int64_t{t} << loop.width_log;
}

// The depth-tested pixel loop of the fast loops, over buffer pixels at .. end - 1:
// texel() gives the offset from the device of the pixel's texel index, step() moves
// the texture coordinates one pixel on. Two pixels per turn of the loop: the rows of
// small triangles are a few pixels long, and the loop's own count, compare and branch
// are a good part of each pixel.
template <class Texel, class Step>
[[gnu::always_inline]] inline void depth_tested_pixels(std::ptrdiff_t at, std::ptrdiff_t end,
                                                       std::uint16_t z, std::uint16_t dz,
                                                       Texel texel, Step step) {
  Device &d = dev;
  const auto *bytes = reinterpret_cast<const std::uint8_t *>(&d);
#pragma GCC unroll 2
  for (std::ptrdiff_t i = at; i != end; ++i) {
    const auto zs = static_cast<std::int16_t>(z);
    if (zs > d.depth[i]) {
      d.depth[i] = zs;
      d.color[i] = d.palette[bytes[texel()]];
    }
    z = static_cast<std::uint16_t>(z + dz);
    step();
  }
}

// The fast loop over buffer pixels at .. end - 1, given s and t in accumulator form.
// Its texel address needs no variable shift per pixel: s holds s + texel_16, so
// s >> 16 is the texel column plus the offset of texel (0, 0); t holds t times the
// texture width, and (t >> 16) with the column bits cleared is (t >> 16) times the
// width, since the fraction of t times the width adds less than one row. Bounds were
// proven for the whole triangle, so no coordinate wraps on the pixels drawn.
[[gnu::always_inline]] inline void span_in_bounds(const SpanLoop &loop, std::ptrdiff_t at,
                                                  std::ptrdiff_t end, std::int64_t s,
                                                  std::int64_t t, std::uint16_t z) {
  const std::int64_t row_mask = loop.row_mask, ds = loop.ds, dt = loop.dt;
  depth_tested_pixels(
      at, end, z, loop.dz, [&] { return ((t >> 16) & row_mask) + (s >> 16); },
      [&] {
        s += ds;
        t += dt;
      });
}

// The fast loop for a span whose texels all lie in one texel row, at `row` from the
// device: t then needs no work per pixel. s is in the accumulator form.
[[gnu::always_inline]] inline void span_one_row(const SpanLoop &loop, std::ptrdiff_t at,
                                                std::ptrdiff_t end, std::int64_t s,
                                                std::int64_t row, std::uint16_t z) {
  const std::int64_t ds = loop.ds;
  depth_tested_pixels(
      at, end, z, loop.dz, [&] { return row + (s >> 16); }, [&] { s += ds; });
}

// A triangle's bound on the spans whose t stays inside one texel row. In the fast
// loop's accumulator form a texel row is 2^16 times the texture width of t, and a
// span moves t one way by less than `reach` (dt times the triangle's width). The walk
// carries t less `low` (the reach when t falls along a span, else 0): when that value's
// place within its texel row is below `room`, t and every t of the span lie in that
// same texel row.
struct OneRowBound {
  std::int64_t place_mask;  // t & place_mask: t's place within its texel row
  std::int64_t low;
  std::int64_t room;
};

inline OneRowBound one_row_bound(const SpanLoop &loop, int widest) {
  const std::int64_t row_size = std::int64_t{1} << (16 + loop.width_log);
  const std::int64_t reach = (loop.dt < 0 ? -loop.dt : loop.dt) * widest;
  return {row_size - 1, loop.dt < 0 ? reach : 0, reach < row_size ? row_size - reach : 0};
}

// The fast loop for the short rows of small triangles, s in accumulator form and t
// in it less bound.low: a span that stays in one texel row reads it with s alone, any
// other goes through span_in_bounds.
[[gnu::always_inline]] inline void span_short(const SpanLoop &loop, const OneRowBound &bound,
                                              std::ptrdiff_t at, std::ptrdiff_t end,
                                              std::int64_t s, std::int64_t t_low,
                                              std::uint16_t z) {
  if ((t_low & bound.place_mask) < bound.room) {
    span_one_row(loop, at, end, s, (t_low >> 16) & loop.row_mask, z);
  } else {
    span_in_bounds(loop, at, end, s, t_low + bound.low, z);
  }
}

}  // namespace glide
