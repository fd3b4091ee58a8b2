// PCX pictures of 8-bit palette indices: a 128-byte header, run-length coded
// pixel bytes from offset 128, and a 256-colour palette in the last 768 bytes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "formats/bytes.h"
#include "formats/result.h"

namespace formats {

inline constexpr size_t kPcxHeaderSize = 128;
inline constexpr size_t kPcxPaletteSize = 768;

enum class PcxRows {
  // Model skins: width = xmax + 1, height = ymax + 1, and the decoded bytes
  // run on from one row to the next (no per-row padding is honoured).
  Continuous,
  // Pictures in general: width = xmax - xmin + 1, height = ymax - ymin + 1,
  // each row stored as bytes-per-line bytes (offset 66) of which the first
  // width are kept. Needs one plane of 8 bits.
  Padded,
};

struct PcxImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> indices;       // width × height, row by row from the top
  std::array<uint8_t, 768> palette{};  // red, green, blue per entry
};

Result<PcxImage> decodePcx(Bytes bytes, std::string_view fileName, PcxRows rows = PcxRows::Continuous);

// Run-length decoding into `out` (whose size says how many bytes to make): a
// byte with both top bits set repeats the next byte (its low six bits) times,
// any other byte stands for itself. Stops as soon as `out` is full, even
// inside a run. Returns the number of input bytes used, or nothing when the
// input ends first.
std::optional<size_t> decodePcxRuns(Bytes encoded, std::span<uint8_t> out);

}  // namespace formats
