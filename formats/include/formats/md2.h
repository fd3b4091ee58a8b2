// MD2 models: a 68-byte header of seventeen 32-bit little-endian integers,
// then the sections it points at. Only what the viewer draws is kept: skin
// names, frames and the GL command lists (strips and fans).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formats/bytes.h"
#include "formats/result.h"
#include "formats/source.h"

namespace formats {

inline constexpr size_t kMd2HeaderSize = 68;
inline constexpr size_t kMd2SkinNameSize = 64;
inline constexpr size_t kMd2FrameHeaderSize = 40;  // scale, translate, 16-byte name
inline constexpr size_t kMd2GlVertexWords = 3;     // s, t, vertex index
// Largest section (frames, GL commands, skin names) a model may have. The
// viewer redraws every vertex of a frame each displayed frame; 64 MiB holds
// a thousand frames of 16,000 vertices, far beyond any model it can animate,
// and keeps a lying header inside a huge sparse file from costing gigabytes.
inline constexpr uint64_t kMd2MaxSectionBytes = uint64_t{64} << 20;

struct Md2Frame {
  std::array<float, 3> scale{};
  std::array<float, 3> translate{};
  std::string name;
  size_t vertexOffset = 0;  // first packed vertex inside Md2Model::frameBytes
};

struct Md2GlVertex {
  float s = 0;
  float t = 0;
  uint32_t index = 0;  // checked against the frame's vertex count
};

struct Md2GlCommand {
  bool fan = false;  // strip otherwise
  uint32_t first = 0;  // into Md2Model::glVertices
  uint32_t count = 0;  // three or more
};

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

struct Md2Model {
  int32_t skinWidth = 0;
  int32_t skinHeight = 0;
  int32_t frameSize = 0;
  uint32_t vertexCount = 0;  // packed vertices each frame holds
  std::vector<std::string> skinNames;
  std::vector<Md2Frame> frames;
  std::vector<uint8_t> frameBytes;  // frame count × frame size, as stored
  std::vector<Md2GlCommand> commands;
  std::vector<Md2GlVertex> glVertices;
  // Commands left out because they named a vertex beyond the frame, or ran
  // past the end of the command words.
  uint32_t skippedCommands = 0;
};

// Reads the header, then each section it names - checked against the
// source's size and the cap - with one read each; nothing else of the
// source is read.
Result<Md2Model> readMd2(const ByteSource& source, std::string_view fileName);

// The same for a model held whole in memory.
Result<Md2Model> parseMd2(Bytes bytes, std::string_view fileName);

// Vertex `index` of `frame`, unpacked: x and z are negated, which turns the
// model's axes into the viewer's (depth along x, screen right along y,
// screen down along z).
Vec3 decodeVertex(const Md2Model& model, const Md2Frame& frame, uint32_t index);

}  // namespace formats
