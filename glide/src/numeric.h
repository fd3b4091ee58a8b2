// Float-to-integer conversions with defined results for every input.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace glide {

// Truncation toward zero. NaN and values outside the 32-bit range give INT32_MIN,
// the "integer indefinite" an x86 conversion produces, instead of undefined behaviour.
inline std::int32_t trunc_i32(float f) {
#if defined(__SSE__)
  return _mm_cvtt_ss2si(_mm_set_ss(f));  // the x86 conversion itself, without branches
#else
  if (f >= -2147483648.0f && f < 2147483648.0f) return static_cast<std::int32_t>(f);
  return INT32_MIN;
#endif
}

// Round to nearest, ties to even (the default rounding mode), with trunc_i32's limits.
inline std::int32_t round_i32(float f) { return trunc_i32(std::nearbyint(f)); }

// The low 16 bits of a value, read as a signed 16-bit number.
inline std::int16_t low16(std::int32_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(v)));
}

// 32-bit wrap-around addition and multiplication, as the fixed-point walk expects.
inline std::int32_t wrap_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline std::int32_t wrap_mul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

// Ceiling of a 16.16 position (arithmetic shift).
inline int ceil_fixed(std::int32_t x) { return wrap_add(x, 0xFFFF) >> 16; }

}  // namespace glide
