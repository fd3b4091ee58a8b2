// Lines and points. Neither touches the depth buffer or the texture; pixels off the
// screen are skipped.
#include "lines.h"

#include <cstdlib>

#include "device.h"
#include "numeric.h"

namespace glide {
namespace {

// Lines with an end further than this from the origin are dropped; it bounds the
// pixel loop for any input.
constexpr std::int32_t kReach = 16383;

bool within_reach(std::int32_t v) { return v >= -kReach && v <= kReach; }

void plot(int x, int y) {
  if (x < 0 || y < 0 || x >= dev.width || y >= dev.height) return;
  dev.color[y * kBufferSide + x] = dev.constant_color;
  mark_drawn(y, y + 1, x, x + 1);
}

// Walks along x from the left end; err counts how far y lags behind the ideal line.
void x_major(int x0, int y0, int x1, int y1, int nx, int ny) {
  int x = x0, y = y0, other_y = y1;
  if (x1 < x0) x = x1, y = y1, other_y = y0;
  const int ystep = other_y < y ? -1 : 1;
  int err = 0;
  for (int i = 0; i < nx; ++i) {
    plot(x, y);
    ++x;
    err += ny;
    if (err > nx) y += ystep, err -= nx;
  }
}

// Walks along y from the top end. On an exact diagonal (nx == ny) err reaches ny but
// never exceeds it, so the plain rule would step x one row late and end a pixel short
// of the far end: there x steps on every row instead.
void y_major(int x0, int y0, int x1, int y1, int nx, int ny) {
  int x = x0, y = y0, other_x = x1;
  if (y1 < y0) x = x1, y = y1, other_x = x0;
  const int xstep = other_x < x ? -1 : 1;
  const int limit = nx == ny ? ny - 1 : ny;
  int err = 0;
  for (int i = 0; i < ny; ++i) {
    plot(x, y);
    ++y;
    err += nx;
    if (err > limit) x += xstep, err -= ny;
  }
}

}  // namespace

void draw_line(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
  dev.constant_color = 0xFFFF;
  if (!within_reach(x0) || !within_reach(y0) || !within_reach(x1) || !within_reach(y1)) return;
  const int nx = std::abs(x1 - x0) + 1;
  const int ny = std::abs(y1 - y0) + 1;
  if (ny < nx) {
    x_major(x0, y0, x1, y1, nx, ny);
  } else {
    y_major(x0, y0, x1, y1, nx, ny);
  }
}

}  // namespace glide

using namespace glide;

extern "C" {

FX_ENTRY void FX_CALL grDrawLine(const GrVertex *a, const GrVertex *b) {
  if (a == nullptr || b == nullptr) return;
  draw_line(round_i32(b->x), round_i32(b->y), round_i32(a->x), round_i32(a->y));
}

FX_ENTRY void FX_CALL grDrawPoint(const GrVertex *p) {
  if (p == nullptr) return;
  plot(round_i32(p->x), round_i32(p->y));
}

}  // extern "C"
