// Writers of the formats the demo content is made of: MD2 models, PCX
// pictures, and PAK archives. Tests use
// them to build fixtures, so they write exactly what is asked, including
// hostile values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace modelgen {

using ByteVector = std::vector<uint8_t>;
using Palette = std::array<uint8_t, 768>;

struct GlVertex {
  float s = 0, t = 0;  // 0..1 across the skin
  uint32_t index = 0;
};

struct GlCommand {
  bool fan = false;
  std::vector<GlVertex> vertices;
};

struct Frame {
  std::string name;  // at most 15 characters are kept
  std::vector<std::array<float, 3>> positions;  // model space: x forward, y left, z up
};

struct Md2Source {
  int32_t skinWidth = 0;
  int32_t skinHeight = 0;
  std::vector<std::string> skins;
  std::vector<Frame> frames;  // all with the same vertex count
  std::vector<GlCommand> commands;
};

// A complete model: header, skin names, texture coordinates, triangles,
// frames packed to bytes (scale and translate fitted per frame) and the GL
// command list ended by a 0 count.
ByteVector encodeMd2(const Md2Source& source);

// An 8-bit single-plane PCX, run-length coded row by row (even bytes per
// line), followed by the 0x0C marker and the palette.
ByteVector encodePcx(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices, const Palette& palette);

struct PakMember {
  std::string name;  // cut to 55 characters
  ByteVector bytes;
};

// "PACK", the members' data in order, then the directory.
ByteVector encodePak(const std::vector<PakMember>& members);

// Little-endian appends used by the writers and by tests that build odd files.
void putU16(ByteVector& out, uint16_t value);
void putI32(ByteVector& out, int32_t value);
void putF32(ByteVector& out, float value);
void setI32(ByteVector& out, size_t at, int32_t value);

}  // namespace modelgen
