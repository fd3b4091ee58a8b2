#include "formats/pcx.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>

namespace formats {

namespace {

struct Layout {
  uint32_t width = 0, height = 0, stride = 0;
};

std::optional<Error> readLayout(Bytes b, PcxRows rows, std::string_view file, Layout& out) {
  const uint32_t xmax = u16le(b, 8), ymax = u16le(b, 10);
  if (rows == PcxRows::Continuous) {
    out = {xmax + 1, ymax + 1, xmax + 1};
    return std::nullopt;
  }
  const uint32_t xmin = u16le(b, 4), ymin = u16le(b, 6);
  if (b[3] != 8 || b[65] != 1) {
    return readError(file, "one plane of 8 bits per pixel",
                     std::to_string(b[65]) + " planes of " + std::to_string(b[3]) + " bits");
  }
  if (xmin > xmax || ymin > ymax) {
    return readError(file, "a window with its minimum below its maximum",
                     "x " + std::to_string(xmin) + ".." + std::to_string(xmax) + ", y " + std::to_string(ymin) +
                         ".." + std::to_string(ymax));
  }
  out = {xmax - xmin + 1, ymax - ymin + 1, u16le(b, 66)};
  if (out.stride < out.width) {
    return readError(file, "at least " + std::to_string(out.width) + " bytes per line",
                     std::to_string(out.stride));
  }
  return std::nullopt;
}

// The cap holds for the rows as stored too: a bytes-per-line far beyond the
// width would make the decoder fill that much padding.
std::optional<Error> checkSize(const Layout& layout, uint32_t maxSide, std::string_view file) {
  if (layout.width > maxSide || layout.height > maxSide) {
    const std::string side = std::to_string(maxSide);
    return readError(file, "a picture of at most " + side + " x " + side + " pixels",
                     std::to_string(layout.width) + " x " + std::to_string(layout.height));
  }
  if (layout.stride > maxSide) {
    return readError(file, "rows of at most " + std::to_string(maxSide) + " bytes", std::to_string(layout.stride));
  }
  return std::nullopt;
}

std::optional<Error> checkHeader(Bytes b, PcxRows rows, uint32_t maxSide, std::string_view file, Layout& out) {
  if (auto error = readLayout(b, rows, file, out)) return error;
  return checkSize(out, maxSide, file);
}

std::string sizeText(uint64_t size) { return std::to_string(size) + " bytes"; }

void dropPadding(std::vector<uint8_t>& pixels, const Layout& layout) {
  if (layout.stride == layout.width) return;
  for (uint32_t row = 1; row < layout.height; ++row) {
    std::copy_n(pixels.begin() + row * layout.stride, layout.width, pixels.begin() + row * layout.width);
  }
  pixels.resize(size_t{layout.width} * layout.height);
}

}  // namespace

std::optional<size_t> decodePcxRuns(Bytes encoded, std::span<uint8_t> out) {
  size_t in = 0, written = 0;
  while (written < out.size()) {
    if (in >= encoded.size()) return std::nullopt;
    const uint8_t b = encoded[in++];
    if ((b & 0xC0) != 0xC0) {
      out[written++] = b;
      continue;
    }
    if (in >= encoded.size()) return std::nullopt;
    const uint8_t value = encoded[in++];
    const size_t run = std::min<size_t>(b & 0x3F, out.size() - written);
    std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(written), run, value);
    written += run;
  }
  return in;
}

Result<PcxImage> decodePcx(Bytes bytes, std::string_view fileName, PcxRows rows, uint32_t maxSide) {
  if (bytes.size() < kPcxHeaderSize || bytes.size() < kPcxPaletteSize) {
    return readError(fileName, "a 128-byte header and a 768-byte palette", sizeText(bytes.size()));
  }
  Layout layout;
  if (auto error = checkHeader(bytes, rows, maxSide, fileName, layout)) return *error;
  const Bytes encoded = bytes.subspan(kPcxHeaderSize);
  const uint64_t wanted = uint64_t{layout.stride} * layout.height;
  // A run of two bytes makes at most 63 pixels: a size beyond that is a lie
  // of the header, refused before anything is allocated for it.
  if (wanted > uint64_t{encoded.size()} * 32) {
    return readError(fileName, std::to_string(wanted) + " pixels of image data",
                     std::to_string(encoded.size()) + " bytes after the header");
  }
  PcxImage image;
  image.width = layout.width;
  image.height = layout.height;
  image.indices.resize(static_cast<size_t>(wanted));
  if (!decodePcxRuns(encoded, image.indices)) {
    return readError(fileName, std::to_string(wanted) + " pixels of image data", "the file ending first");
  }
  dropPadding(image.indices, layout);
  std::copy_n(bytes.end() - kPcxPaletteSize, kPcxPaletteSize, image.palette.begin());
  return image;
}

uint64_t pcxFileLimit(uint32_t maxSide) {
  return kPcxHeaderSize + 2 * uint64_t{maxSide} * maxSide + 1 + kPcxPaletteSize;
}

Result<PcxImage> readPcx(const ByteSource& source, std::string_view fileName, PcxRows rows, uint32_t maxSide) {
  const uint64_t size = source.size();
  std::array<uint8_t, kPcxHeaderSize> header{};
  if (size < kPcxPaletteSize || !source.read(0, header)) {
    return readError(fileName, "a 128-byte header and a 768-byte palette", sizeText(size));
  }
  Layout layout;
  if (auto error = checkHeader(header, rows, maxSide, fileName, layout)) return *error;
  if (size > pcxFileLimit(maxSide)) {
    return readError(fileName, "at most " + sizeText(pcxFileLimit(maxSide)), sizeText(size));
  }
  auto bytes = readRange(source, 0, size, fileName);
  if (!bytes) return bytes.error();
  return decodePcx(bytes.value(), fileName, rows, maxSide);
}

}  // namespace formats
