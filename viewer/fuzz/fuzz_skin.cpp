// libFuzzer target: a skin file as meshpeek prepares it - header and size
// checks, decoding, palette, texture sides, aspect and the resampling.
#include <cstddef>
#include <cstdint>

#include "formats/pcx.h"
#include "meshpeek/skin.h"

namespace {

bool powerOfTwoUpTo256(int side) { return side >= 2 && side <= 256 && (side & (side - 1)) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const formats::MemorySource file(formats::Bytes(data, size));
  auto picture = formats::readPcx(file, "fuzz.pcx", formats::PcxRows::Continuous, meshpeek::kMaxSkinSide);
  if (!picture) return 0;
  if (picture->width > meshpeek::kMaxSkinSide || picture->height > meshpeek::kMaxSkinSide) __builtin_trap();
  auto outcome = meshpeek::prepareSkinTexture(picture.value());
  if (!outcome.ok()) return 0;
  const auto& t = outcome.value();
  if (!powerOfTwoUpTo256(t.width) || !powerOfTwoUpTo256(t.height)) __builtin_trap();
  if (t.texels.size() != static_cast<size_t>(t.width * t.height)) __builtin_trap();
  // Texel (0, 0) samples pixel (0, 0) whatever the scale.
  if (t.texels[0] != picture->indices[0]) __builtin_trap();
  for (FxU32 entry : t.palette) {
    if (entry > 0xFFFFFF) __builtin_trap();
  }
  return 0;
}
