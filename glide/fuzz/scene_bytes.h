// The byte layout of a fuzzed scene, shared by the fuzz target and its seed writer.
//
//   header (12 bytes): cull mode, texture LOD, aspect, flags, texel seed (4, little
//                      endian), texture start address (4, little endian)
//   triangles (61 bytes each): a byte of raw-field bits, then 3 corners of 5 fields
//                      (x, y, oow, sow, tow) of 4 bytes each
//
// A field whose raw bit is clear is a scaled 16-bit integer, which keeps most
// triangles near the screen; a raw field is the 4 bytes as a float, NaN and
// infinities included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "glide.h"

namespace glide_fuzz {

inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kTriangleSize = 61;
inline constexpr std::size_t kMaxTriangles = 64;

enum HeaderFlags : std::uint8_t {
  kBuiltinTexture = 1,  // draw with the texture selected at open, no download
  kStartAddress = 2,    // place the texture at the header's start address
};

enum RawFields : std::uint8_t { kRawPosition = 1, kRawDepth = 2, kRawCoords = 4 };

struct Header {
  std::uint8_t cull, lod, aspect, flags;
  std::uint32_t seed, start;
};

inline std::uint32_t read_u32(const std::uint8_t *p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

inline void put_u32(std::vector<std::uint8_t> &out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline Header read_header(const std::uint8_t *p) {
  return {p[0], p[1], p[2], p[3], read_u32(p + 4), read_u32(p + 8)};
}

inline void put_header(std::vector<std::uint8_t> &out, const Header &h) {
  out.insert(out.end(), {h.cull, h.lod, h.aspect, h.flags});
  put_u32(out, h.seed);
  put_u32(out, h.start);
}

inline float raw_float(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

// The scaled forms: positions in 1/16 pixel (about +-2048), 1/w in 0 .. 1/32, and
// texel coordinates in 1/64 texel (about +-512), given times 1/w as the interface wants.
inline float position(std::uint32_t v) { return static_cast<std::int16_t>(v) / 16.0f; }
inline float depth(std::uint32_t v) { return static_cast<float>(v & 0xFFFF) / 2097152.0f; }
inline float coord(std::uint32_t v, float oow) {
  return static_cast<std::int16_t>(v) / 64.0f * oow;
}

// Corner i of the triangle at p.
inline GrVertex read_corner(const std::uint8_t *p, int i) {
  const std::uint8_t raw = p[0];
  const std::uint8_t *f = p + 1 + 20 * i;
  GrVertex v{};
  const std::uint32_t x = read_u32(f), y = read_u32(f + 4), q = read_u32(f + 8),
                      s = read_u32(f + 12), t = read_u32(f + 16);
  v.x = raw & kRawPosition ? raw_float(x) : position(x);
  v.y = raw & kRawPosition ? raw_float(y) : position(y);
  v.oow = raw & kRawDepth ? raw_float(q) : depth(q);
  v.tmuvtx[0].sow = raw & kRawCoords ? raw_float(s) : coord(s, v.oow);
  v.tmuvtx[0].tow = raw & kRawCoords ? raw_float(t) : coord(t, v.oow);
  v.tmuvtx[0].oow = v.oow;
  return v;
}

}  // namespace glide_fuzz
