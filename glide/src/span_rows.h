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
  const std::ptrdiff_t last = w.row + std::ptrdiff_t{w.rows} * kBufferSide;
  for (; w.row != last; w.row += kBufferSide) {
    const int xl = ceil_fixed(w.lx), xr = ceil_fixed(w.rx);
    if (xr > xl) {
      span_short(loop, bound, w.row + xl, w.row + xr, s, t_low, static_cast<std::uint16_t>(w.z));
    }
    w.lx = wrap_add(w.lx, w.dlx);
    w.rx = wrap_add(w.rx, w.drx);
    s += ds;
    t_low += dt;
    w.z = wrap_add(w.z, w.dz);
  }
  w.s = static_cast<std::int32_t>(s - loop.texel_16);
  w.t = static_cast<std::int32_t>((t_low + bound.low) >> loop.width_log);
  walk = w;
}

}  // namespace
}  // namespace glide
