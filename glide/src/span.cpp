// The span loop. Greater depth wins; a pixel that wins takes the palette colour of
// the texel under it, unmodulated. Texel addresses never leave the readable memory
// of the current texture source.
#include "span.h"

#include <algorithm>
#if defined(__x86_64__)
#include <cpuid.h>
#endif
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

// True when every texel that coordinates within the range can address lies inside
// the texture source and no coordinate wraps. The texel column grows with s and the
// row with t, so the corners of the range bound every address.
bool range_in_bounds(const SpanSetup &ss, const CoordRange &r) {
  if (!fits_i32(r.s_lo) || !fits_i32(r.s_hi) || !fits_i32(r.t_lo) || !fits_i32(r.t_hi)) {
    return false;
  }
  const std::int64_t lo = ss.tex_start + ((r.t_lo >> 16) << ss.width_log) + (r.s_lo >> 16);
  const std::int64_t hi = ss.tex_start + ((r.t_hi >> 16) << ss.width_log) + (r.s_hi >> 16);
  return lo >= 0 && hi < ss.tex_size;
}

// The same test for one span, whose coordinates run monotonically between its ends.
bool texels_in_bounds(const SpanSetup &ss, const Span &sp) {
  const std::int64_t s1 = coord_at(sp.s, ss.g.dsdx, sp.count - 1);
  const std::int64_t t1 = coord_at(sp.t, ss.g.dtdx, sp.count - 1);
  return range_in_bounds(ss, {std::min<std::int64_t>(sp.s, s1), std::max<std::int64_t>(sp.s, s1),
                              std::min<std::int64_t>(sp.t, t1), std::max<std::int64_t>(sp.t, t1)});
}

// The texel's offset in the texture source: (t >> 16) rows of the width plus s >> 16.
inline std::int64_t texel_offset(std::int64_t start, std::uint32_t s, std::uint32_t t,
                                 int width_log) {
  return start + (std::int64_t{static_cast<std::int32_t>(t) >> 16} << width_log) +
         (static_cast<std::int32_t>(s) >> 16);
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

struct PathName {
  SpanPath path;
  const char *name;
};

constexpr PathName kPathNames[] = {
    {SpanPath::Scalar, "scalar"}, {SpanPath::Sse2, "sse2"}, {SpanPath::Avx2, "avx2"}};

const char *name_of(SpanPath path) {
  for (const PathName &p : kPathNames) {
    if (p.path == path) return p.name;
  }
  return "?";
}

#if GLIDE_VECTOR_SPANS
// AVX2 needs the instructions and an operating system that saves the 256-bit
// registers (XCR0 bits 1 and 2). Asked of the processor directly: the compiler's
// own check needs a helper from its runtime library that not every link brings in.
bool has_avx2() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(1, &a, &b, &c, &d) == 0) return false;
  if ((c & bit_OSXSAVE) == 0 || (c & bit_AVX) == 0) return false;
  unsigned xcr0 = 0, high = 0;
  asm volatile("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
  if ((xcr0 & 6u) != 6u) return false;
  if (__get_cpuid_count(7, 0, &a, &b, &c, &d) == 0) return false;
  return (b & bit_AVX2) != 0;
}
#endif

}  // namespace

bool processor_runs(SpanPath path) {
#if GLIDE_VECTOR_SPANS
  static const bool avx2 = has_avx2();
  return path != SpanPath::Avx2 || avx2;  // SSE2 is part of every x86-64 processor
#else
  return path == SpanPath::Scalar;
#endif
}

namespace {

SpanPath fastest_path() {
  return processor_runs(SpanPath::Avx2) ? SpanPath::Avx2
         : processor_runs(SpanPath::Sse2) ? SpanPath::Sse2
                                          : SpanPath::Scalar;
}

}  // namespace

SpanPath choose_span_path() {
  const SpanPath fastest = fastest_path();
  const char *asked = std::getenv("GLIDE_SPANS");
  if (asked == nullptr || *asked == '\0') return fastest;
  for (const PathName &p : kPathNames) {
    if (std::strcmp(asked, p.name) != 0) continue;
    if (processor_runs(p.path)) return p.path;
    std::fprintf(stderr, "glide: GLIDE_SPANS=%s: this processor cannot run it; drawing with %s\n",
                 asked, name_of(fastest));
    return fastest;
  }
  std::fprintf(stderr, "glide: GLIDE_SPANS=%s is not scalar, sse2 or avx2; drawing with %s\n",
               asked, name_of(fastest));
  return fastest;
}

SpanSetup span_setup(const Gradients &g, const CoordRange &reach) {
  const TexSource &tex = dev.tex;
  SpanSetup ss;  // every field set below, without a zero fill first
  ss.g = g;
  ss.path = dev.span_path;
  ss.texels = tex.base;
  ss.tex_start = tex.start;
  ss.tex_size = static_cast<std::int64_t>(tex.size);
  ss.width_log = tex.width_log;
  ss.all_in_bounds = range_in_bounds(ss, reach);
  return ss;
}

SpanLoop span_loop(const SpanSetup &ss) {
  // Texture memory and the built-in texture both lie inside the device.
  const std::int64_t base = ss.texels - reinterpret_cast<const std::uint8_t *>(&dev);
  SpanLoop loop{(base + ss.tex_start) * 65536, ~((std::int64_t{1} << ss.width_log) - 1),
                ss.g.dsdx, 0, ss.g.dtdx, ss.width_log, static_cast<std::uint16_t>(ss.g.dzdx)};
  loop.dt = loop_t(loop, ss.g.dtdx);
  return loop;
}

void draw_span(const SpanSetup &ss, const Span &sp) {
  const std::ptrdiff_t at = std::ptrdiff_t{sp.row} * kBufferSide + sp.x;
  if (ss.all_in_bounds || texels_in_bounds(ss, sp)) {
    const SpanLoop loop = span_loop(ss);
    const auto z = static_cast<std::uint16_t>(sp.z);
    switch (ss.path) {
#if GLIDE_VECTOR_SPANS
      case SpanPath::Avx2:
        return span_avx2(loop, at, at + sp.count, sp.s, sp.t, z);
      case SpanPath::Sse2:
        return span_sse2(loop, at, at + sp.count, sp.s, sp.t, z);
#endif
      default:
        span_in_bounds(loop, at, at + sp.count, loop_s(loop, sp.s), loop_t(loop, sp.t), z);
    }
  } else {
    span_guarded(ss, sp, dev.color + at, dev.depth + at);
  }
}

}  // namespace glide
