#include "formats/md2.h"

#include <array>
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

std::optional<Error> checkCounts(const Md2Header& h, std::string_view file) {
  if (h.frameCount < 1) return readError(file, "at least one frame", std::to_string(h.frameCount));
  if (h.frameSize < static_cast<int32_t>(kMd2FrameHeaderSize)) {
    return readError(file, "a frame size of at least 40 bytes", std::to_string(h.frameSize));
  }
  if (h.skinCount < 0) return readError(file, "a skin count of 0 or more", std::to_string(h.skinCount));
  if (h.glCommandWords < 0) {
    return readError(file, "a GL command count of 0 or more", std::to_string(h.glCommandWords));
  }
  return std::nullopt;
}

struct Section {
  const char* what;
  int64_t offset, length;
};

struct Md2Layout {
  Section frames, commands, skins;
};

// Every section the header promises must lie inside the file and within the
// cap. A section without bytes is empty wherever it claims to start: its
// offset is never used, so it is not checked either.
Result<Md2Layout> locateSections(const Md2Header& h, uint64_t fileSize, std::string_view file) {
  if (auto error = checkCounts(h, file)) return *error;
  Md2Layout layout{{"frames", h.framesOffset, int64_t{h.frameCount} * h.frameSize},
                   {"GL commands", h.glCommandsOffset, int64_t{h.glCommandWords} * 4},
                   {"skin names", h.skinsOffset, int64_t{h.skinCount} * int64_t{kMd2SkinNameSize}}};
  for (Section* s : {&layout.frames, &layout.commands, &layout.skins}) {
    if (s->length == 0) {
      s->offset = 0;
      continue;
    }
    if (s->offset < 0 || !rangeInside(fileSize, static_cast<uint64_t>(s->offset), static_cast<uint64_t>(s->length))) {
      return readError(file, std::string(s->what) + " inside the " + std::to_string(fileSize) + "-byte file",
                       sectionText(s->offset, s->length));
    }
    if (static_cast<uint64_t>(s->length) > kMd2MaxSectionBytes) {
      return readError(file, std::string(s->what) + " of at most " + std::to_string(kMd2MaxSectionBytes) + " bytes",
                       sectionText(s->offset, s->length));
    }
  }
  return layout;
}

Result<std::vector<uint8_t>> readSection(const ByteSource& source, const Section& s, std::string_view file) {
  return readRange(source, static_cast<uint64_t>(s.offset), static_cast<uint64_t>(s.length), file);
}

// Scale, translate and name of each frame; the packed vertices stay in
// frameBytes, where decodeVertex finds them.
void describeFrames(const Md2Header& h, Md2Model& m) {
  const size_t size = static_cast<size_t>(h.frameSize);
  const size_t count = static_cast<size_t>(h.frameCount);
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

void readSkinNames(Bytes names, Md2Model& m) {
  for (size_t at = 0; at + kMd2SkinNameSize <= names.size(); at += kMd2SkinNameSize) {
    m.skinNames.push_back(fixedName(reinterpret_cast<const char*>(names.data() + at), kMd2SkinNameSize));
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
void readGlCommands(Bytes words, Md2Model& m) {
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

Md2Model assemble(const Md2Header& h, std::vector<uint8_t> frameBytes, Bytes words, Bytes names) {
  Md2Model model;
  model.skinWidth = h.skinWidth;
  model.skinHeight = h.skinHeight;
  model.frameSize = h.frameSize;
  model.vertexCount = static_cast<uint32_t>((static_cast<size_t>(h.frameSize) - kMd2FrameHeaderSize) / 4);
  model.frameBytes = std::move(frameBytes);
  describeFrames(h, model);
  readSkinNames(names, model);
  readGlCommands(words, model);
  return model;
}

}  // namespace

Result<Md2Model> readMd2(const ByteSource& source, std::string_view fileName) {
  std::array<uint8_t, kMd2HeaderSize> header{};
  if (!source.read(0, header)) {
    return readError(fileName, "a 68-byte model header", std::to_string(source.size()) + " bytes");
  }
  const Md2Header h = readHeader(header);
  auto layout = locateSections(h, source.size(), fileName);
  if (!layout) return layout.error();
  auto frames = readSection(source, layout->frames, fileName);
  if (!frames) return frames.error();
  auto words = readSection(source, layout->commands, fileName);
  if (!words) return words.error();
  auto names = readSection(source, layout->skins, fileName);
  if (!names) return names.error();
  return assemble(h, std::move(frames.value()), words.value(), names.value());
}

Result<Md2Model> parseMd2(Bytes bytes, std::string_view fileName) { return readMd2(MemorySource(bytes), fileName); }

Vec3 decodeVertex(const Md2Model& model, const Md2Frame& frame, uint32_t index) {
  const uint8_t* v = model.frameBytes.data() + frame.vertexOffset + size_t{index} * 4;
  return {-(v[0] * frame.scale[0] + frame.translate[0]), v[1] * frame.scale[1] + frame.translate[1],
          -(v[2] * frame.scale[2] + frame.translate[2])};
}

}  // namespace formats
