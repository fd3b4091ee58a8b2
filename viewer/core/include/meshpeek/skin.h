// Skins: a PCX picture turned into one paletted glide texture with
// power-of-two sides, and made the current texture.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/pcx.h"
#include "glide.h"
#include "meshpeek/failure.h"
#include "meshpeek/model.h"

namespace meshpeek {

// Largest skin width and height the viewer decodes. The texture holds at most
// 256 × 256 texels, picked by nearest neighbour, so a larger picture only adds
// rows and columns that are never sampled. 4096 still takes the
// high-resolution skins made for newer engines (2048 is common) and bounds a
// skin at 16 MiB decoded and its file at pcxFileLimit(4096), about 32 MiB.
inline constexpr uint32_t kMaxSkinSide = 4096;

struct SkinTexture {
  int width = 0, height = 0;  // W and H: powers of two from 2 to 256
  GrLOD_t lod = GR_LOD_256;
  GrAspectRatio_t aspect = GR_ASPECT_1x1;
  std::vector<uint8_t> texels;       // W × H palette indices
  std::array<FxU32, 256> palette{};  // 0x00RRGGBB
  float sScale = 0, tScale = 0;      // the model's texture coordinate span
};

// Texture side for a picture side: the power of two at or above it, at most
// 256; nothing for sides of 1 or less.
std::optional<int> textureSide(uint32_t side);

// Sides, level of detail, aspect and the nearest-neighbour resampling, with
// the viewer's fatal texts for sides it cannot use.
Result<SkinTexture> prepareSkinTexture(const formats::PcxImage& picture);

// Downloads palette and texels to the bottom of texture memory and selects them.
Status uploadSkinTexture(SkinTexture& texture);

// Loads skin `index` of the model, or the override file when one is given,
// and sets the model's texture scales. A missing skin other than the first
// (and other than an override) leaves the current one in place; so does one
// that cannot be decoded or exceeds kMaxSkinSide, which is refused before its
// pixels are read.
Status loadSkin(Model& model, std::string& pakPath, int index, const std::string& overrideName);

}  // namespace meshpeek
