// Bounds-checked little-endian reads from a byte range. Every read states the
// offset it wants; callers check `fits` first, the getters assume it holds.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace formats {

using Bytes = std::span<const uint8_t>;

// True when [offset, offset + length) lies inside `bytes`. Takes 64-bit
// signed values so that offsets and counts straight from a file (possibly
// negative or huge) can be checked before any arithmetic on them overflows.
inline bool fits(Bytes bytes, int64_t offset, int64_t length) {
  return offset >= 0 && length >= 0 && offset <= static_cast<int64_t>(bytes.size()) &&
         length <= static_cast<int64_t>(bytes.size()) - offset;
}

inline uint16_t u16le(Bytes b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

inline uint32_t u32le(Bytes b, size_t at) {
  return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
         (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

inline int32_t i32le(Bytes b, size_t at) { return static_cast<int32_t>(u32le(b, at)); }

inline float f32le(Bytes b, size_t at) { return std::bit_cast<float>(u32le(b, at)); }

}  // namespace formats
