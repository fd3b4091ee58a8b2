// The fast span loop eight pixels per step with AVX2, for processors that have it
// (chosen at run time). Each lane takes the steps of the reference loop: depth
// z + i dz in 16 bits, s + i ds and t + i dt in 32, the same texel address and
// palette entry; so pixels and depths come out bit for bit the same.
#include "span.h"

#if GLIDE_VECTOR_SPANS

#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "device.h"
#include "numeric.h"

// Everything below compiles for AVX2; the headers above keep the baseline, so that
// no out-of-line copy of a shared inline function carries AVX2 instructions.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "span_rows.h"

namespace glide {
namespace {

// The per-triangle constants: each lane's offset from the step's first pixel and the
// advance of a whole step of 8 pixels. Products wrap as the repeated adds of the
// reference loop do.
struct Avx2Lanes {
  __m256i s_lane, t_lane, s_step, t_step, texel_base;
  __m128i z_lane, z_step, width_log;
  SpanLoop loop;

  explicit Avx2Lanes(const SpanLoop &l) : loop(l) {
    const __m256i index = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const auto ds = static_cast<std::int32_t>(loop.ds), dt = loop.dtdx;
    s_lane = _mm256_mullo_epi32(_mm256_set1_epi32(ds), index);
    t_lane = _mm256_mullo_epi32(_mm256_set1_epi32(dt), index);
    s_step = _mm256_set1_epi32(wrap_mul(ds, 8));
    t_step = _mm256_set1_epi32(wrap_mul(dt, 8));
    texel_base = _mm256_set1_epi32(loop_texel_base(loop));
    const auto dz = static_cast<std::int16_t>(loop.dz);
    z_lane = _mm_mullo_epi16(_mm_set1_epi16(dz), _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
    z_step = _mm_set1_epi16(static_cast<std::int16_t>(dz * 8));
    width_log = _mm_cvtsi32_si128(loop.width_log);
  }

  // The palette colours of the texels at s, t as 8 16-bit lanes. Plain loads: they
  // beat the gather instructions, which some processors run as long microcode.
  [[gnu::always_inline]] __m128i colours(const Device &d, __m256i s, __m256i t) const {
    const __m256i row = _mm256_sll_epi32(_mm256_srai_epi32(t, 16), width_log);
    const __m256i at =
        _mm256_add_epi32(_mm256_add_epi32(texel_base, row), _mm256_srai_epi32(s, 16));
    alignas(32) std::int32_t a[8];
    _mm256_store_si256(reinterpret_cast<__m256i *>(a), at);
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(&d);
    const std::uint16_t *palette = d.palette;
    auto colour = [&](int lane) { return static_cast<std::int16_t>(palette[bytes[a[lane]]]); };
    return _mm_setr_epi16(colour(0), colour(1), colour(2), colour(3), colour(4), colour(5),
                          colour(6), colour(7));
  }

  // Pixels i .. i + 7: the depth test, then depth and colour written where it passes.
  [[gnu::always_inline]] void step(Device &d, std::ptrdiff_t i, __m256i s, __m256i t,
                                   __m128i z) const {
    auto *depth_at = reinterpret_cast<__m128i *>(d.depth + i);
    auto *colour_at = reinterpret_cast<__m128i *>(d.color + i);
    const __m128i depth = _mm_loadu_si128(depth_at);
    const __m128i pass = _mm_cmpgt_epi16(z, depth);
    if (_mm_testz_si128(pass, pass)) return;
    const __m128i colour = colours(d, s, t);
    _mm_storeu_si128(depth_at, _mm_blendv_epi8(depth, z, pass));
    _mm_storeu_si128(colour_at, _mm_blendv_epi8(_mm_loadu_si128(colour_at), colour, pass));
  }

  // Buffer pixels at .. end - 1: whole steps, then the last pixels one at a time.
  // Rows shorter than a step, common in small triangles, skip the lanes' set-up.
  [[gnu::always_inline]] void span(std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
                                   std::int32_t t, std::uint16_t z) const {
    if (end - at >= 8) {
      Device &d = dev;
      __m256i vs = _mm256_add_epi32(_mm256_set1_epi32(s), s_lane);
      __m256i vt = _mm256_add_epi32(_mm256_set1_epi32(t), t_lane);
      __m128i vz = _mm_add_epi16(_mm_set1_epi16(static_cast<std::int16_t>(z)), z_lane);
      for (; end - at >= 8; at += 8) {
        step(d, at, vs, vt, vz);
        vs = _mm256_add_epi32(vs, s_step);
        vt = _mm256_add_epi32(vt, t_step);
        vz = _mm_add_epi16(vz, z_step);
      }
      s = _mm256_cvtsi256_si32(vs);
      t = _mm256_cvtsi256_si32(vt);
      z = static_cast<std::uint16_t>(_mm_cvtsi128_si32(vz));
    }
    if (at != end) span_in_bounds(loop, at, end, loop_s(loop, s), loop_t(loop, t), z);
  }
};

}  // namespace

void span_avx2(const SpanLoop &loop, std::ptrdiff_t at, std::ptrdiff_t end, std::int32_t s,
               std::int32_t t, std::uint16_t z) {
  Avx2Lanes(loop).span(at, end, s, t, z);
}

void walk_rows_avx2(const SpanLoop &loop, RowWalk &walk) { walk_rows(Avx2Lanes(loop), walk); }

}  // namespace glide

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif  // GLIDE_VECTOR_SPANS
