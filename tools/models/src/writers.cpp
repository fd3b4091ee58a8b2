#include "modelgen/writers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace modelgen {

void putU16(ByteVector& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putI32(ByteVector& out, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(u >> shift));
}

void putF32(ByteVector& out, float value) { putI32(out, std::bit_cast<int32_t>(value)); }

void setI32(ByteVector& out, size_t at, int32_t value) {
  const auto u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(u >> (8 * i));
}

namespace {

void putName(ByteVector& out, const std::string& name, size_t field) {
  const size_t used = std::min(name.size(), field - 1);
  out.insert(out.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(used));
  out.insert(out.end(), field - used, 0);
}

struct Triangle {
  std::array<uint32_t, 3> vertex;
  std::array<uint32_t, 3> st;
};

// Texture coordinates and triangles of the classic sections, derived from
// the GL commands (every command vertex gets its own coordinate pair).
struct Sections {
  std::vector<std::array<int16_t, 2>> st;
  std::vector<Triangle> triangles;
};

Sections classicSections(const Md2Source& src) {
  Sections out;
  for (const GlCommand& cmd : src.commands) {
    const auto base = static_cast<uint32_t>(out.st.size());
    for (const GlVertex& v : cmd.vertices) {
      out.st.push_back({static_cast<int16_t>(std::lround(v.s * src.skinWidth)),
                        static_cast<int16_t>(std::lround(v.t * src.skinHeight))});
    }
    const auto at = [&](size_t i) { return cmd.vertices[i].index; };
    for (size_t i = 2; i < cmd.vertices.size(); ++i) {
      std::array<size_t, 3> c = cmd.fan ? std::array<size_t, 3>{0, i - 1, i}
                                        : (i % 2 == 0 ? std::array<size_t, 3>{i - 2, i - 1, i}
                                                      : std::array<size_t, 3>{i - 2, i, i - 1});
      out.triangles.push_back({{at(c[0]), at(c[1]), at(c[2])},
                               {base + static_cast<uint32_t>(c[0]), base + static_cast<uint32_t>(c[1]),
                                base + static_cast<uint32_t>(c[2])}});
    }
  }
  return out;
}

// Each frame is packed to bytes: translate is the frame's lower corner and
// scale spreads its extent over 0..255, so the error is half a step at most.
void putFrame(ByteVector& out, const Frame& frame) {
  std::array<float, 3> lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
  for (const auto& p : frame.positions) {
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], p[a]);
      hi[a] = std::max(hi[a], p[a]);
    }
  }
  std::array<float, 3> scale{};
  for (int a = 0; a < 3; ++a) scale[a] = hi[a] > lo[a] ? (hi[a] - lo[a]) / 255.0f : 1.0f;
  for (float s : scale) putF32(out, s);
  for (float t : lo) putF32(out, t);
  putName(out, frame.name, 16);
  for (const auto& p : frame.positions) {
    for (int a = 0; a < 3; ++a) {
      const long q = std::lround((p[a] - lo[a]) / scale[a]);
      out.push_back(static_cast<uint8_t>(std::clamp(q, 0L, 255L)));
    }
    out.push_back(0);  // normal index
  }
}

size_t glCommandWords(const Md2Source& src) {
  size_t words = 1;  // the closing 0
  for (const GlCommand& cmd : src.commands) words += 1 + 3 * cmd.vertices.size();
  return words;
}

}  // namespace

ByteVector encodeMd2(const Md2Source& src) {
  const Sections sections = classicSections(src);
  const size_t vertexCount = src.frames.empty() ? 0 : src.frames[0].positions.size();
  const auto frameSize = static_cast<int32_t>(40 + 4 * vertexCount);
  const int32_t skinsAt = 68;
  const int32_t stAt = skinsAt + static_cast<int32_t>(64 * src.skins.size());
  const int32_t trisAt = stAt + static_cast<int32_t>(4 * sections.st.size());
  const int32_t framesAt = trisAt + static_cast<int32_t>(12 * sections.triangles.size());
  const int32_t glAt = framesAt + frameSize * static_cast<int32_t>(src.frames.size());
  const int32_t endAt = glAt + static_cast<int32_t>(4 * glCommandWords(src));

  ByteVector out{'I', 'D', 'P', '2'};
  for (int32_t v : {8, src.skinWidth, src.skinHeight, frameSize, static_cast<int32_t>(src.skins.size()),
                    static_cast<int32_t>(vertexCount), static_cast<int32_t>(sections.st.size()),
                    static_cast<int32_t>(sections.triangles.size()), static_cast<int32_t>(glCommandWords(src)),
                    static_cast<int32_t>(src.frames.size()), skinsAt, stAt, trisAt, framesAt, glAt, endAt}) {
    putI32(out, v);
  }
  for (const std::string& skin : src.skins) putName(out, skin, 64);
  for (const auto& st : sections.st) {
    putU16(out, static_cast<uint16_t>(st[0]));
    putU16(out, static_cast<uint16_t>(st[1]));
  }
  for (const Triangle& t : sections.triangles) {
    for (uint32_t v : t.vertex) putU16(out, static_cast<uint16_t>(v));
    for (uint32_t s : t.st) putU16(out, static_cast<uint16_t>(s));
  }
  for (const Frame& frame : src.frames) putFrame(out, frame);
  for (const GlCommand& cmd : src.commands) {
    const auto n = static_cast<int32_t>(cmd.vertices.size());
    putI32(out, cmd.fan ? -n : n);
    for (const GlVertex& v : cmd.vertices) {
      putF32(out, v.s);
      putF32(out, v.t);
      putI32(out, static_cast<int32_t>(v.index));
    }
  }
  putI32(out, 0);
  return out;
}

namespace {

void putRow(ByteVector& out, const uint8_t* row, size_t length) {
  size_t x = 0;
  while (x < length) {
    size_t run = 1;
    while (x + run < length && run < 63 && row[x + run] == row[x]) ++run;
    if (run > 1 || (row[x] & 0xC0) == 0xC0) {
      out.push_back(static_cast<uint8_t>(0xC0 | run));
    }
    out.push_back(row[x]);
    x += run;
  }
}

}  // namespace

ByteVector encodePcx(uint32_t width, uint32_t height, const std::vector<uint8_t>& indices, const Palette& palette) {
  const uint32_t bytesPerLine = (width + 1) & ~1u;
  ByteVector out(128, 0);
  out[0] = 0x0A;  // manufacturer
  out[1] = 5;     // version with a 256-colour palette
  out[2] = 1;     // run-length coding
  out[3] = 8;     // bits per pixel
  const auto put16 = [&](size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  put16(8, width - 1);
  put16(10, height - 1);
  put16(12, 72);
  put16(14, 72);
  out[65] = 1;  // planes
  put16(66, bytesPerLine);
  put16(68, 1);  // colour palette
  std::vector<uint8_t> row(bytesPerLine, 0);
  for (uint32_t y = 0; y < height; ++y) {
    std::copy_n(indices.begin() + static_cast<std::ptrdiff_t>(y * width), width, row.begin());
    putRow(out, row.data(), row.size());
  }
  out.push_back(0x0C);
  out.insert(out.end(), palette.begin(), palette.end());
  return out;
}

ByteVector encodePak(const std::vector<PakMember>& members) {
  ByteVector out{'P', 'A', 'C', 'K'};
  putI32(out, 0);
  putI32(out, static_cast<int32_t>(64 * members.size()));
  std::vector<int32_t> offsets;
  for (const PakMember& m : members) {
    offsets.push_back(static_cast<int32_t>(out.size()));
    out.insert(out.end(), m.bytes.begin(), m.bytes.end());
  }
  setI32(out, 4, static_cast<int32_t>(out.size()));
  for (size_t i = 0; i < members.size(); ++i) {
    putName(out, members[i].name, 56);
    putI32(out, offsets[i]);
    putI32(out, static_cast<int32_t>(members[i].bytes.size()));
  }
  return out;
}

}  // namespace modelgen
