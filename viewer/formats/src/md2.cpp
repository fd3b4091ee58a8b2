#include "formats/md2.h"

#include <cstdlib>
#include <optional>

#include "formats/text.h"

namespace formats {

namespace {

struct Md2Header {
  int32_t skinWidth, skinHeight, frameSize, skinCount;
  int32_t glCommandWords, frameCount;
  int32_t skinsOffset, framesOffset, glCommandsOffset;
};

Md2Header readHeader(Bytes b) {
  Md2Header h{};
  h.skinWidth = i32le(b, 8);
  h.skinHeight = i32le(b, 12);
  h.frameSize = i32le(b, 16);
  h.skinCount = i32le(b, 20);
  h.glCommandWords = i32le(b, 36);
  h.frameCount = i32le(b, 40);
  h.skinsOffset = i32le(b, 44);
  h.framesOffset = i32le(b, 56);
  h.glCommandsOffset = i32le(b, 60);
  return h;
}

std::string sectionText(int64_t offset, int64_t length) {
  return std::to_string(length) + " bytes at offset " + std::to_string(offset);
}

// Every section the header promises must lie inside the file.
std::optional<Error> checkSections(const Md2Header& h, Bytes b, std::string_view file) {
  if (h.frameCount < 1) return readError(file, "at least one frame", std::to_string(h.frameCount));
  if (h.frameSize < static_cast<int32_t>(kMd2FrameHeaderSize)) {
    return readError(file, "a frame size of at least 40 bytes", std::to_string(h.frameSize));
  }
  if (h.skinCount < 0) return readError(file, "a skin count of 0 or more", std::to_string(h.skinCount));
  if (h.glCommandWords < 0) {
    return readError(file, "a GL command count of 0 or more", std::to_string(h.glCommandWords));
  }
  const int64_t size = static_cast<int64_t>(b.size());
  const struct {
    const char* what;
    int64_t offset, length;
  } sections[] = {
      {"frames", h.framesOffset, int64_t{h.frameCount} * h.frameSize},
      {"GL commands", h.glCommandsOffset, int64_t{h.glCommandWords} * 4},
      {"skin names", h.skinsOffset, int64_t{h.skinCount} * int64_t{kMd2SkinNameSize}},
  };
  for (const auto& s : sections) {
    if (s.length > 0 && !fits(b, s.offset, s.length)) {
      return readError(file, std::string(s.what) + " inside the " + std::to_string(size) + "-byte file",
                       sectionText(s.offset, s.length));
    }
  }
  return std::nullopt;
}

void readFrames(const Md2Header& h, Bytes b, Md2Model& m) {
  const size_t size = static_cast<size_t>(h.frameSize);
  const size_t count = static_cast<size_t>(h.frameCount);
  m.frameBytes.assign(b.begin() + h.framesOffset, b.begin() + h.framesOffset + count * size);
  m.frames.resize(count);
  const Bytes block(m.frameBytes);
  for (size_t f = 0; f < count; ++f) {
    Md2Frame& frame = m.frames[f];
    const size_t at = f * size;
    for (size_t axis = 0; axis < 3; ++axis) {
      frame.scale[axis] = f32le(block, at + axis * 4);
      frame.translate[axis] = f32le(block, at + 12 + axis * 4);
    }
    frame.name = fixedName(reinterpret_cast<const char*>(block.data() + at + 24), 16);
    frame.vertexOffset = at + kMd2FrameHeaderSize;
  }
}

void readSkinNames(const Md2Header& h, Bytes b, Md2Model& m) {
  for (int32_t i = 0; i < h.skinCount; ++i) {
    const size_t at = static_cast<size_t>(h.skinsOffset) + static_cast<size_t>(i) * kMd2SkinNameSize;
    m.skinNames.push_back(fixedName(reinterpret_cast<const char*>(b.data() + at), kMd2SkinNameSize));
  }
}

bool indicesInside(const Md2Model& m, size_t first, size_t count) {
  for (size_t v = first; v < first + count; ++v) {
    if (m.glVertices[v].index >= m.vertexCount) return false;
  }
  return true;
}

// Walks the command words: a signed count (positive strip, negative fan, 0
// ends the list) and |count| vertices of three words. A command that runs
// past the words ends the walk; one naming a vertex the frames do not hold is
// dropped, as are commands too short to make a triangle.
void readGlCommands(const Md2Header& h, Bytes b, Md2Model& m) {
  const Bytes words = b.subspan(static_cast<size_t>(h.glCommandsOffset), static_cast<size_t>(h.glCommandWords) * 4);
  const size_t wordCount = words.size() / 4;
  size_t at = 0;
  while (at < wordCount) {
    const int64_t count = i32le(words, at * 4);
    if (count == 0) break;
    const uint64_t n = static_cast<uint64_t>(std::llabs(count));
    if (n > (wordCount - at - 1) / kMd2GlVertexWords) {
      ++m.skippedCommands;
      break;
    }
    const size_t first = m.glVertices.size();
    for (uint64_t v = 0; v < n; ++v) {
      const size_t w = (at + 1 + v * kMd2GlVertexWords) * 4;
      m.glVertices.push_back({f32le(words, w), f32le(words, w + 4), u32le(words, w + 8)});
    }
    at += 1 + n * kMd2GlVertexWords;
    if (n < 3 || !indicesInside(m, first, n)) {
      m.glVertices.resize(first);
      if (n >= 3) ++m.skippedCommands;
      continue;
    }
    m.commands.push_back({count < 0, static_cast<uint32_t>(first), static_cast<uint32_t>(n)});
  }
}

}  // namespace

Result<Md2Model> parseMd2(Bytes bytes, std::string_view fileName) {
  if (bytes.size() < kMd2HeaderSize) {
    return readError(fileName, "a 68-byte model header", std::to_string(bytes.size()) + " bytes");
  }
  const Md2Header h = readHeader(bytes);
  if (auto error = checkSections(h, bytes, fileName)) return *error;
  Md2Model model;
  model.skinWidth = h.skinWidth;
  model.skinHeight = h.skinHeight;
  model.frameSize = h.frameSize;
  model.vertexCount = static_cast<uint32_t>((static_cast<size_t>(h.frameSize) - kMd2FrameHeaderSize) / 4);
  readFrames(h, bytes, model);
  readSkinNames(h, bytes, model);
  readGlCommands(h, bytes, model);
  return model;
}

Vec3 decodeVertex(const Md2Model& model, const Md2Frame& frame, uint32_t index) {
  const uint8_t* v = model.frameBytes.data() + frame.vertexOffset + size_t{index} * 4;
  return {-(v[0] * frame.scale[0] + frame.translate[0]), v[1] * frame.scale[1] + frame.translate[1],
          -(v[2] * frame.scale[2] + frame.translate[2])};
}

}  // namespace formats
