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
#include "formats/source.h"

namespace formats {

inline constexpr size_t kPcxHeaderSize = 128;
inline constexpr size_t kPcxPaletteSize = 768;

// Largest width, height and row length a picture may have unless the caller
// says otherwise: 8192 × 8192 is 64 MiB of decoded indices, and no preview
// picture or skin needs more. Without a cap a 16-bit header could ask for
// 4 GiB (65,536 × 65,536) that a small file of long runs would fill.
inline constexpr uint32_t kPcxMaxSide = 8192;

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

// Sides or rows beyond `maxSide` are refused before anything is allocated.
Result<PcxImage> decodePcx(Bytes bytes, std::string_view fileName, PcxRows rows = PcxRows::Continuous,
                           uint32_t maxSide = kPcxMaxSide);

// Largest file that holds a `maxSide` × `maxSide` picture as any sane writer
// codes it: header, at most two bytes a pixel (a run of one, needed for
// values of 0xC0 and up), the 0x0C marker and the palette. Empty runs could
// pad a file without end; past this size they are taken for what they are.
uint64_t pcxFileLimit(uint32_t maxSide);

// Reads the header first and refuses a picture beyond `maxSide`, or a file
// beyond pcxFileLimit(maxSide), before reading the rest; then decodes it.
Result<PcxImage> readPcx(const ByteSource& source, std::string_view fileName, PcxRows rows, uint32_t maxSide);

// Run-length decoding into `out` (whose size says how many bytes to make): a
// byte with both top bits set repeats the next byte (its low six bits) times,
// any other byte stands for itself. Stops as soon as `out` is full, even
// inside a run. Returns the number of input bytes used, or nothing when the
// input ends first.
std::optional<size_t> decodePcxRuns(Bytes encoded, std::span<uint8_t> out);

}  // namespace formats
