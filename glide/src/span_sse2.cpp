// The fast span loop four pixels per step with SSE2, which every x86-64 processor
// has. Each lane takes the steps of the reference loop: depth z + i dz in 16 bits,
// s + i ds and t + i dt in 32, the same texel address and palette entry; so pixels
// and depths come out bit for bit the same. SSE2 has no gather: the four texel and
// palette reads are plain loads.
#include "span.h"

#if GLIDE_VECTOR_SPANS

#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "device.h"
#include "numeric.h"
#include "span_rows.h"

namespace glide {
namespace {

// The per-triangle constants: each lane's offset from the step's first pixel and the
// advance of a whole step of 4 pixels. Products wrap as the repeated adds of the
// reference loop do. Depths use the low four 16-bit lanes.
struct Sse2Lanes {
  __m128i s_lane, t_lane, s_step, t_step, texel_base;
  __m128i z_lane, z_step, width_log;
  SpanLoop loop;

  explicit Sse2Lanes(const SpanLoop &l) : loop(l) {
    const auto ds = static_cast<std::int32_t>(loop.ds), dt = loop.dtdx;
    s_lane = _mm_setr_epi32(0, ds, wrap_mul(ds, 2), wrap_mul(ds, 3));
    t_lane = _mm_setr_epi32(0, dt, wrap_mul(dt, 2), wrap_mul(dt, 3));
    s_step = _mm_set1_epi32(wrap_mul(ds, 4));
    t_step = _mm_set1_epi32(wrap_mul(dt, 4));
    texel_base = _mm_set1_epi32(loop_texel_base(loop));
    const auto dz = static_cast<std::int16_t>(loop.dz);
    z_lane = _mm_mullo_epi16(_mm_set1_epi16(dz), _mm_setr_epi16(0, 1, 2, 3, 0, 0, 0, 0));
    z_step = _mm_set1_epi16(static_cast<std::int16_t>(dz * 4));
    width_log = _mm_cvtsi32_si128(loop.width_log);
  }

  // The palette colours of the texels at s, t in the low four 16-bit lanes.
  [[gnu::always_inline]] __m128i colours(const Device &d, __m128i s, __m128i t) const {
    const __m128i row = _mm_sll_epi32(_mm_srai_epi32(t, 16), width_log);
    const __m128i at = _mm_add_epi32(_mm_add_epi32(texel_base, row), _mm_srai_epi32(s, 16));
    alignas(16) std::int32_t a[4];
    _mm_store_si128(reinterpret_cast<__m128i *>(a), at);
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(&d);
    const std::uint16_t *palette = d.palette;
    auto colour = [&](int lane) { return static_cast<std::int16_t>(palette[bytes[a[lane]]]); };
    return _mm_setr_epi16(colour(0), colour(1), colour(2), colour(3), 0, 0, 0, 0);
  }

  // Pixels i .. i + 3: the depth test, then depth and colour written where it passes.
  [[gnu::always_inline]] void step(Device &d, std::ptrdiff_t i, __m128i s, __m128i t,
                                   __m128i z) const {
    auto *depth_at = reinterpret_cast<__m128i *>(d.depth + i);
    auto *colour_at = reinterpret_cast<__m128i *>(d.color + i);
    const __m128i depth = _mm_loadl_epi64(depth_at);
    const __m128i pass = _mm_cmpgt_epi16(z, depth);
    if ((_mm_movemask_epi8(pass) & 0xFF) == 0) return;
    const __m128i colour = colours(d, s, t);
    const __m128i old = _mm_loadl_epi64(colour_at);
    _mm_storel_epi64(depth_at, _mm_or_si128(_mm_and_si128(pass, z), _mm_andnot_si128(pass, depth)));
    _mm_storel_epi64(colour_at,
                     _mm_or_si128(_mm_and_si128(pass, colour), _mm_andnot_si128(pass, old)));
  }

  // Buffer pixels at .. end - 1: whole steps, then the last pixels one at a time.
  // Rows shorter than a step, common in small triangles, skip the lanes' set-up.
  [[gnu::always_inline]] void span(std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
                                   std::int32_t t, std::uint16_t z) const {
    if (end - at >= 4) {
      Device &d = dev;
      __m128i vs = _mm_add_epi32(_mm_set1_epi32(s), s_lane);
      __m128i vt = _mm_add_epi32(_mm_set1_epi32(t), t_lane);
      __m128i vz = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(z)), z_lane);
      for (; end - at >= 4; at += 4) {
        step(d, at, vs, vt, vz);
        vs = _mm_add_epi32(vs, s_step);
        vt = _mm_add_epi32(vt, t_step);
        vz = _mm_add_epi16(vz, z_step);
      }
      s = _mm_cvtsi128_si32(vs);
      t = _mm_cvtsi128_si32(vt);
      z = static_cast<std::uint16_t>(_mm_cvtsi128_si32(vz));
    }
    if (at != end) span_in_bounds(loop, at, end, loop_s(loop, s), loop_t(loop, t), z);
  }
};

}  // namespace

void span_sse2(const SpanLoop &loop, std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
               std::int32_t t, std::uint16_t z) {
  Sse2Lanes(loop).span(at, end, s, t, z);
}

void walk_rows_sse2(const SpanLoop &loop, RowWalk &walk) { walk_rows(Sse2Lanes(loop), walk); }

}  // namespace glide

#endif  // GLIDE_VECTOR_SPANS
