// Triangle set-up and edge walking, the planar polygon fans and the clip guard.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "device.h"
#include "lines.h"
#include "numeric.h"
#include "span.h"
#include "span_rows.h"

namespace glide {
namespace {

// Vertices beyond this many pixels from the origin are dropped: the 16.16 edge walk
// holds positions up to 32767, and a difference of two coordinates must fit too.
constexpr std::int32_t kReach = 16383;

constexpr float kFixed = 65536.0f;      // 16.16 fixed point
constexpr float kDepthScale = 1048576.0f;  // depth units per unit of oow (2^20)

struct SetupVertex {
  std::int32_t X, Y;  // screen position, truncated toward zero
  float q, s, t;      // oow and texel coordinates
};

SetupVertex set_up(const GrVertex &v) {
  const GrTmuVertex &tmu = v.tmuvtx[0];
  return {trunc_i32(v.x), trunc_i32(v.y), v.oow, tmu.sow / v.oow * dev.tex.s_scale,
          tmu.tow / v.oow * dev.tex.t_scale};
}

bool within_reach(const SetupVertex &v) {
  return v.X >= -kReach && v.X <= kReach && v.Y >= -kReach && v.Y <= kReach;
}

// Twice the signed area; negative when the corners run clockwise on screen.
std::int64_t area_of(const SetupVertex &a, const SetupVertex &b, const SetupVertex &c) {
  return std::int64_t{a.Y - c.Y} * (b.X - c.X) - std::int64_t{b.Y - c.Y} * (a.X - c.X);
}

bool culled(std::int64_t area) {
  if (area > -5 && area < 5) return true;  // too thin to set up reliably
  if (dev.cull == Cull::DropNegative) return area < 0;
  if (dev.cull == Cull::DropPositive) return area > 0;
  return false;
}

// Plane equations of s, t and q solved for the step one pixel to the right.
Gradients gradients(const SetupVertex &a, const SetupVertex &b, const SetupVertex &c,
                    std::int64_t area) {
  const auto dy1 = static_cast<float>(a.Y - c.Y);
  const auto dy2 = static_cast<float>(b.Y - c.Y);
  const float k = kFixed / static_cast<float>(area);
  auto step = [&](float pa, float pb, float pc) { return ((pb - pc) * dy1 - (pa - pc) * dy2) * k; };
  // q steps are scaled by 16 on top of the 16.16 factor: 2^20 depth units per unit.
  return {trunc_i32(step(a.s, b.s, c.s)), trunc_i32(step(a.t, b.t, c.t)),
          low16(trunc_i32(step(a.q, b.q, c.q) * 16.0f))};
}

// (top, middle, bottom) by Y; the comparisons keep the original tie order. Returns
// whether the new order is an odd permutation of the old one, which flips the sign
// of the area.
bool sort_by_y(const SetupVertex *&top, const SetupVertex *&mid, const SetupVertex *&bot) {
  const SetupVertex *a = top, *b = mid, *c = bot;
  bool odd = false;
  if (b->Y > a->Y) {
    if (a->Y >= c->Y) top = c, mid = a, bot = b;
    else if (b->Y >= c->Y) top = a, mid = c, bot = b, odd = true;
    else top = a, mid = b, bot = c;
  } else {
    if (b->Y >= c->Y) top = c, mid = b, bot = a, odd = true;
    else if (a->Y >= c->Y) top = b, mid = c, bot = a;
    else top = b, mid = a, bot = c, odd = true;
  }
  return odd;
}

// One side of the triangle, walked a row at a time. No sub-pixel correction: the
// edge starts exactly at its truncated upper corner.
struct Edge {
  int count;
  std::int32_t x, dxdy, s, ds, t, dt, z, dz;
};

// 2^16 over the rows from p to q; 0 for an edge without rows, whose steps are then 0.
float per_row(const SetupVertex &p, const SetupVertex &q) {
  return q.Y == p.Y ? 0.0f : kFixed / static_cast<float>(q.Y - p.Y);
}

// The position and slope of an edge; enough for a right edge. Every field is set one
// by one: zero-initialising the whole struct compiles to a string store whose start-up
// cost is felt on every small triangle.
Edge make_edge(const SetupVertex &p, const SetupVertex &q, float inv) {
  Edge e;
  e.count = q.Y - p.Y;
  e.x = p.X * 65536;
  e.dxdy = trunc_i32(static_cast<float>(q.X - p.X) * inv);
  e.s = e.ds = e.t = e.dt = e.z = e.dz = 0;
  return e;
}

Edge make_edge(const SetupVertex &p, const SetupVertex &q) {
  return make_edge(p, q, per_row(p, q));
}

// A left edge also carries s, t and depth down its rows.
[[gnu::always_inline]] inline Edge make_left_edge(const SetupVertex &p, const SetupVertex &q) {
  const float inv = per_row(p, q);
  Edge e = make_edge(p, q, inv);
  if (e.count == 0) return e;
  e.s = trunc_i32(p.s * kFixed);
  e.ds = trunc_i32((q.s - p.s) * inv);
  e.t = trunc_i32(p.t * kFixed);
  e.dt = trunc_i32((q.t - p.t) * inv);
  e.z = low16(trunc_i32(p.q * kDepthScale));
  e.dz = low16(trunc_i32((q.q - p.q) * inv * 16.0f));
  return e;
}

// Moves the texture coordinates of a left edge down n rows.
void advance_coords(Edge &e, int n) {
  e.s = wrap_add(e.s, wrap_mul(e.ds, n));
  e.t = wrap_add(e.t, wrap_mul(e.dt, n));
}

// Moves an edge down n rows; the left edge carries s, t and z along.
void advance(Edge &e, int n, bool left) {
  e.x = wrap_add(e.x, wrap_mul(e.dxdy, n));
  if (!left) return;
  advance_coords(e, n);
  e.z = wrap_add(e.z, wrap_mul(e.dz, n));
}

// Pixels xl .. xr - 1 of one row: the pixel at xr is left to the neighbour, which
// together with the skipped bottom row makes the top-left fill rule.
void fill_row(int row, const Edge &l, const Edge &r, const SpanSetup &ss) {
  int xl = ceil_fixed(l.x);
  const int xr = std::min(ceil_fixed(r.x), dev.width);
  Span sp{row, xl, 0, l.s, l.t, low16(l.z)};
  if (xl < 0) {  // clipped on the left: start the values where the screen starts
    sp.s = wrap_add(sp.s, wrap_mul(ss.g.dsdx, -xl));
    sp.t = wrap_add(sp.t, wrap_mul(ss.g.dtdx, -xl));
    sp.z = low16(sp.z + ss.g.dzdx * -xl);
    sp.x = xl = 0;
  }
  sp.count = xr - xl;
  if (sp.count > 0) draw_span(ss, sp);
}

// Walks `rows` rows from row y, drawing those on the screen. The edges are worked on
// as local copies, which the compiler keeps in registers, and stored back at the end.
void walk(int &y, Edge &left, Edge &right, int rows, const SpanSetup &ss) {
  if (rows <= 0) return;
  Edge l = left, r = right;
  const int skip = std::clamp(-y, 0, rows);
  advance(l, skip, true);
  advance(r, skip, false);
  const int first = y + skip;
  const int visible = std::clamp(dev.height - first, 0, rows - skip);
  for (int i = 0; i < visible; ++i) {
    fill_row(first + i, l, r, ss);
    advance(l, 1, true);
    advance(r, 1, false);
  }
  left = l;
  right = r;
  y += rows;
}

// Widens the range by the s and t that a left edge takes on its rows.
[[gnu::always_inline]] inline void include_edge(CoordRange &r, const Edge &e, int rows) {
  if (rows <= 0) return;
  const std::int64_t s_end = std::int64_t{e.s} + std::int64_t{e.ds} * (rows - 1);
  const std::int64_t t_end = std::int64_t{e.t} + std::int64_t{e.dt} * (rows - 1);
  r.s_lo = std::min({r.s_lo, std::int64_t{e.s}, s_end});
  r.s_hi = std::max({r.s_hi, std::int64_t{e.s}, s_end});
  r.t_lo = std::min({r.t_lo, std::int64_t{e.t}, t_end});
  r.t_hi = std::max({r.t_hi, std::int64_t{e.t}, t_end});
}

// Spans start at a left edge and take fewer than `widest` steps to the right.
void include_span_steps(CoordRange &r, const Gradients &g, int widest) {
  const std::int64_t ds = std::int64_t{g.dsdx} * widest, dt = std::int64_t{g.dtdx} * widest;
  r.s_lo += std::min<std::int64_t>(ds, 0);
  r.s_hi += std::max<std::int64_t>(ds, 0);
  r.t_lo += std::min<std::int64_t>(dt, 0);
  r.t_hi += std::max<std::int64_t>(dt, 0);
}

// The reference loop in the row walk's form: s and t go into its accumulator form.
struct ScalarLanes {
  SpanLoop loop;
  [[gnu::always_inline]] void span(std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
                                   std::int32_t t, std::uint16_t z) const {
    span_in_bounds(loop, at, end, loop_s(loop, s), loop_t(loop, t), z);
  }
};

// Triangles narrower than this many pixels walk their rows a pixel at a time on the
// vector paths too (walk_short_rows): their rows hold at most one vector step, and
// setting up the lanes costs more than the step saves.
constexpr int kVectorWidth = 16;

// The common case, picked once per triangle: every row and column on the screen and
// every texel read in bounds. No clipping, no per-span checks; the whole walk runs
// on locals, which matters for small triangles where rows are only a few pixels.
// The bounds proof covers every row of the left edge, so its s and t never wrap.
[[gnu::always_inline]] inline void walk_unclipped(int y, Edge &left, Edge &right, int rows,
                                                  const SpanLoop &loop, SpanPath path,
                                                  int widest) {
  RowWalk w{std::ptrdiff_t{y} * kBufferSide, rows, left.x, left.dxdy, right.x, right.dxdy,
            left.s, left.ds, left.t, left.dt, left.z, left.dz};
  if (path == SpanPath::Scalar) {
    walk_rows(ScalarLanes{loop}, w);
  } else if (widest < kVectorWidth) {
    walk_short_rows(loop, widest, w);
#if GLIDE_VECTOR_SPANS
  } else if (path == SpanPath::Avx2) {
    walk_rows_avx2(loop, w);
  } else {
    walk_rows_sse2(loop, w);
#endif
  }
  left.x = w.lx;
  right.x = w.rx;
  left.s = w.s;
  left.t = w.t;
  left.z = w.z;
}

bool whole_on_screen(const SetupVertex &top, const SetupVertex &bot, int x_min, int x_max) {
  return top.Y >= 0 && bot.Y <= dev.height && x_min >= 0 && x_max <= dev.width;
}

// The three sides of a sorted triangle and which of them are on the left.
struct Sides {
  Edge tm, tb, mb;      // top to middle, top to bottom (the long edge), middle to bottom
  bool long_edge_left;  // else the short edges tm and mb are on the left
};

Sides make_sides(const SetupVertex &top, const SetupVertex &mid, const SetupVertex &bot,
                 bool long_edge_left) {
  if (long_edge_left) {
    return {make_edge(top, mid), make_left_edge(top, bot), make_edge(mid, bot), true};
  }
  return {make_left_edge(top, mid), make_edge(top, bot), make_left_edge(mid, bot), false};
}

// Every s and t that the spans of the triangle can reach.
CoordRange coord_reach(const Sides &sides, const Gradients &g, int widest) {
  CoordRange reach{INT64_MAX, INT64_MIN, INT64_MAX, INT64_MIN};
  if (sides.long_edge_left) {
    include_edge(reach, sides.tb, sides.tb.count);
  } else {
    include_edge(reach, sides.tm, sides.tm.count);
    include_edge(reach, sides.mb, sides.mb.count);
  }
  include_span_steps(reach, g, widest);
  return reach;
}

// Upper half with the top-to-middle edge, lower half with middle-to-bottom; the long
// edge carries on from one half into the other.
void walk_halves(int top_y, Sides &e, const SpanSetup &ss, bool unclipped, int widest) {
  Edge &upper_l = e.long_edge_left ? e.tb : e.tm, &upper_r = e.long_edge_left ? e.tm : e.tb;
  Edge &lower_l = e.long_edge_left ? e.tb : e.mb, &lower_r = e.long_edge_left ? e.mb : e.tb;
  if (unclipped) {
    const SpanLoop loop = span_loop(ss);
    // A half without rows moves no edge: flat-topped and flat-bottomed triangles,
    // common in meshes, skip its walk altogether.
    if (e.tm.count > 0) walk_unclipped(top_y, upper_l, upper_r, e.tm.count, loop, ss.path, widest);
    if (e.mb.count > 0) {
      walk_unclipped(top_y + e.tm.count, lower_l, lower_r, e.mb.count, loop, ss.path, widest);
    }
  } else {
    int y = top_y;
    walk(y, upper_l, upper_r, e.tm.count, ss);
    walk(y, lower_l, lower_r, e.mb.count, ss);
  }
}

// Asks for the cache lines of a colour buffer position and of the same position of
// the depth buffer with the intent to write them. The write intent matters: a plain
// prefetch fetches a line shared and the store still waits for ownership. The depth
// line is reached from the colour pointer at a fixed offset, so a row costs one
// pointer. Processors without the instruction execute it as a no-op.
constexpr std::ptrdiff_t kDepthFromColor = offsetof(Device, depth) - offsetof(Device, color);

inline void prefetch_pixel_for_write(const std::uint16_t *color) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetchw (%0)\n\tprefetchw %c1(%0)" : : "r"(color), "i"(kDepthFromColor));
#else
  const auto at = reinterpret_cast<std::uintptr_t>(color);
  __builtin_prefetch(reinterpret_cast<const void *>(at), 1);
  __builtin_prefetch(reinterpret_cast<const void *>(at + kDepthFromColor), 1);
#endif
}

// The rows of a small triangle are seldom in the cache after a clear: asking for them
// here lets the set-up arithmetic below hide the wait. Taller triangles walk their
// rows long enough for the processor to fetch ahead by itself.
void prefetch_rows(int top_y, int bottom_y, int x_min) {
  constexpr int kRows = 16;
  const int top = std::clamp(top_y, 0, dev.height);
  const int end = std::clamp(bottom_y, top, std::min(dev.height, top + kRows));
  const int x = std::clamp(x_min, 0, kBufferSide - 1);
  const std::uint16_t *color = dev.color + top * kBufferSide + x;
  for (int n = end - top; n > 0; --n, color += kBufferSide) prefetch_pixel_for_write(color);
}

void draw_filled(const GrVertex &va, const GrVertex &vb, const GrVertex &vc) {
  const SetupVertex a = set_up(va), b = set_up(vb), c = set_up(vc);
  if (!within_reach(a) || !within_reach(b) || !within_reach(c)) return;
  const std::int64_t area = area_of(a, b, c);
  if (culled(area)) return;
  const SetupVertex *top = &a, *mid = &b, *bot = &c;
  const bool odd = sort_by_y(top, mid, bot);
  const int x_min = std::min({a.X, b.X, c.X}), x_max = std::max({a.X, b.X, c.X});
  prefetch_rows(top->Y, bot->Y, x_min);
  // Every row and column the triangle can draw lies between its corners.
  mark_drawn(std::clamp(top->Y, 0, dev.height), std::clamp(bot->Y, 0, dev.height),
             std::clamp(x_min, 0, dev.width), std::clamp(x_max, 0, dev.width));

  const Gradients g = gradients(a, b, c, area);
  // The long edge is on the left when the sorted corners run clockwise.
  Sides sides = make_sides(*top, *mid, *bot, odd ? area > 0 : area < 0);
  const SpanSetup ss = span_setup(g, coord_reach(sides, g, x_max - x_min));
  walk_halves(top->Y, sides, ss, ss.all_in_bounds && whole_on_screen(*top, *bot, x_min, x_max),
              x_max - x_min);
}

void draw_wireframe(const GrVertex &a, const GrVertex &b, const GrVertex &c) {
  draw_line(round_i32(a.x), round_i32(a.y), round_i32(b.x), round_i32(b.y));
  draw_line(round_i32(b.x), round_i32(b.y), round_i32(c.x), round_i32(c.y));
  draw_line(round_i32(c.x), round_i32(c.y), round_i32(a.x), round_i32(a.y));
}

// Inside the screen on one axis. A set sign bit counts as negative, except on -0.0;
// NaN never passes.
bool on_screen(float v, int limit) {
  if (std::signbit(v) && v != 0.0f) return false;
  return v < static_cast<float>(limit);
}

}  // namespace
}  // namespace glide

using namespace glide;

extern "C" {

FX_ENTRY void FX_CALL grDrawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c) {
  if (a == nullptr || b == nullptr || c == nullptr) return;
  if (dev.wireframe) {
    draw_wireframe(*a, *b, *c);
  } else {
    draw_filled(*a, *b, *c);
  }
}

FX_ENTRY void FX_CALL grDrawPlanarPolygon(int nverts, const int ilist[], const GrVertex vlist[]) {
  if (ilist == nullptr || vlist == nullptr) return;
  for (int i = 1; i + 1 < nverts; ++i) {
    grDrawTriangle(&vlist[ilist[0]], &vlist[ilist[i]], &vlist[ilist[i + 1]]);
  }
}

FX_ENTRY void FX_CALL grDrawPlanarPolygonVertexList(int nverts, const GrVertex vlist[]) {
  if (vlist == nullptr) return;
  for (int i = 1; i + 1 < nverts; ++i) grDrawTriangle(&vlist[0], &vlist[i], &vlist[i + 1]);
}

// A guard, not a clipper: a triangle with any corner off the screen is dropped whole.
FX_ENTRY void FX_CALL guDrawTriangleWithClip(const GrVertex *a, const GrVertex *b,
                                             const GrVertex *c) {
  if (a == nullptr || b == nullptr || c == nullptr) return;
  const int w = dev.width, h = dev.height;
  if (on_screen(a->x, w) && on_screen(b->x, w) && on_screen(c->x, w) && on_screen(a->y, h) &&
      on_screen(b->y, h) && on_screen(c->y, h)) {
    grDrawTriangle(a, b, c);
  }
}

FX_ENTRY void FX_CALL grCullMode(GrCullMode_t mode) {
  if (mode == GR_CULL_NEGATIVE) {
    dev.cull = Cull::DropPositive;
  } else if (mode == GR_CULL_POSITIVE) {
    dev.cull = Cull::DropNegative;
  } else {
    dev.cull = Cull::None;
  }
}

}  // extern "C"
