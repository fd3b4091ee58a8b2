// The row walk of a triangle half that lies on the screen with every texel read in
// bounds, shared by the forms of the span loop. Each form's file includes this after
// switching on its instruction set, so that the walk and its span loop compile into
// one function; the anonymous namespace keeps each file's copy its own.
#pragma once

#include <cstdint>

#include "numeric.h"
#include "span.h"

namespace glide {
namespace {

// Lanes: the span loop, called as lanes.span(at, end, s, t, z) with buffer offsets
// and the span's first s, t (16.16) and depth. The walk runs on a local copy, which
// the compiler keeps in registers, and stores it back at the end.
template <class Lanes>
[[gnu::always_inline]] inline void walk_rows(const Lanes &lanes, RowWalk &walk) {
  RowWalk w = walk;
  for (int i = 0; i < w.rows; ++i, w.row += kBufferSide) {
    const int xl = ceil_fixed(w.lx), xr = ceil_fixed(w.rx);
    if (xr > xl) lanes.span(w.row + xl, w.row + xr, w.s, w.t, static_cast<std::uint16_t>(w.z));
    w.lx = wrap_add(w.lx, w.dlx);
    w.rx = wrap_add(w.rx, w.drx);
    w.s = wrap_add(w.s, w.ds);
    w.t = wrap_add(w.t, w.dt);
    w.z = wrap_add(w.z, w.dz);
  }
  walk = w;
}

// The rows of small triangles on the vector paths, with span_short; `widest` bounds
// the steps of every span. s and t go from row to row in the fast loop's accumulator
// form: every row's s and t is proven in bounds, so the 64-bit sums equal the 32-bit
// ones the reference walk takes. The final s and t, one row past the last, matter
// only when the edge goes on into the triangle's other half, whose rows are proven too.
[[gnu::always_inline]] inline void walk_short_rows(const SpanLoop &loop, int widest,
                                                   RowWalk &walk) {
  RowWalk w = walk;
  const OneRowBound bound = one_row_bound(loop, widest);
  std::int64_t s = loop_s(loop, w.s), t_low = loop_t(loop, w.t) - bound.low;
  const std::int64_t ds = w.ds, dt = loop_t(loop, w.dt);
  // Both edges' x in one register, each ready for the ceiling: rx + 0xFFFF in the
  // upper half, lx + 0xFFFF + 2^31 in the lower. The triangle lies on the screen, so
  // the lower half stays inside 32 bits, no carry crosses and one add steps both edges;
  // the lower half's ceiling comes out 2^15 too high, which is taken off again.
  std::uint64_t edges = (std::uint64_t{static_cast<std::uint32_t>(w.rx + 0xFFFF)} << 32) +
                        (static_cast<std::uint32_t>(w.lx + 0xFFFF) ^ 0x80000000u);
  const std::uint64_t dedges = (std::uint64_t{static_cast<std::uint32_t>(w.drx)} << 32) +
                               static_cast<std::uint64_t>(std::int64_t{w.dlx});
  const std::ptrdiff_t last = w.row + std::ptrdiff_t{w.rows} * kBufferSide;
  for (; w.row != last; w.row += kBufferSide) {
    const auto xl = static_cast<std::ptrdiff_t>(static_cast<std::uint32_t>(edges) >> 16) - 32768;
    const std::ptrdiff_t xr = static_cast<std::int64_t>(edges) >> 48;
    if (xr > xl) {
      span_short(loop, bound, w.row + xl, w.row + xr, s, t_low, static_cast<std::uint16_t>(w.z));
    }
    edges += dedges;
    s += ds;
    t_low += dt;
    w.z = wrap_add(w.z, w.dz);
  }
  w.lx = static_cast<std::int32_t>(static_cast<std::uint32_t>(edges) ^ 0x80000000u) - 0xFFFF;
  w.rx = static_cast<std::int32_t>(edges >> 32) - 0xFFFF;
  w.s = static_cast<std::int32_t>(s - loop.texel_16);
  w.t = static_cast<std::int32_t>((t_low + bound.low) >> loop.width_log);
  walk = w;
}

}  // namespace
}  // namespace glide
