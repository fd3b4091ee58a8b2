#include "meshpeek/skin.h"

#include <algorithm>
#include <new>
#include <string>

namespace meshpeek {

namespace {

GrLOD_t lodFor(int side) {
  GrLOD_t lod = GR_LOD_256;
  for (int s = 256; s > side; s /= 2) ++lod;
  return lod;
}

std::optional<GrAspectRatio_t> aspectFor(int w, int h) {
  if (h < w) {
    switch (w / h) {
      case 2: return GR_ASPECT_2x1;
      case 4: return GR_ASPECT_4x1;
      case 8: return GR_ASPECT_8x1;
      default: return std::nullopt;
    }
  }
  switch (h / w) {
    case 1: return GR_ASPECT_1x1;
    case 2: return GR_ASPECT_1x2;
    case 4: return GR_ASPECT_1x4;
    case 8: return GR_ASPECT_1x8;
    default: return std::nullopt;
  }
}

// Nearest neighbour in single precision: source row trunc((h / H) · r),
// column trunc((c / W) · w). The products stay below h and w by at least
// half a pixel, and the clamp only guards that promise.
void resample(const formats::PcxImage& p, SkinTexture& t) {
  const float rowStep = static_cast<float>(p.height) / static_cast<float>(t.height);
  for (int r = 0; r < t.height; ++r) {
    const uint32_t sr = std::min(p.height - 1, static_cast<uint32_t>(rowStep * static_cast<float>(r)));
    for (int c = 0; c < t.width; ++c) {
      const float across = static_cast<float>(c) / static_cast<float>(t.width);
      const uint32_t sc = std::min(p.width - 1, static_cast<uint32_t>(across * static_cast<float>(p.width)));
      t.texels[static_cast<size_t>(r * t.width + c)] = p.indices[size_t{p.width} * sr + sc];
    }
  }
}

}  // namespace

std::optional<int> textureSide(uint32_t side) {
  if (side <= 1) return std::nullopt;
  int result = 2;
  while (result < 256 && static_cast<uint32_t>(result) < side) result *= 2;
  return result;
}

Result<SkinTexture> prepareSkinTexture(const formats::PcxImage& picture) {
  SkinTexture t;
  for (size_t i = 0; i < 256; ++i) {
    t.palette[i] = (FxU32{picture.palette[i * 3]} << 16) | (FxU32{picture.palette[i * 3 + 1]} << 8) |
                   picture.palette[i * 3 + 2];
  }
  const auto w = textureSide(picture.width);
  if (!w) return Error{"Bad texture width", "skin width " + std::to_string(picture.width)};
  const auto h = textureSide(picture.height);
  if (!h) return Error{"Bad texture height", "skin height " + std::to_string(picture.height)};
  t.width = *w, t.height = *h;
  t.lod = lodFor(std::max(t.width, t.height));
  const auto aspect = aspectFor(t.width, t.height);
  if (!aspect) {
    return Error{"Unable to determine aspect ratio",
                   "texture " + std::to_string(t.width) + " x " + std::to_string(t.height)};
  }
  t.aspect = *aspect;
  try {
    t.texels.resize(static_cast<size_t>(t.width * t.height));
  } catch (const std::bad_alloc&) {
    return Error{"Not enough memory for scaled texture", ""};
  }
  resample(picture, t);
  const float ratio = t.height < t.width ? static_cast<float>(t.height) / static_cast<float>(t.width)
                                         : static_cast<float>(t.width) / static_cast<float>(t.height);
  t.sScale = t.height < t.width ? 256.0f : ratio * 256.0f;
  t.tScale = t.height < t.width ? ratio * 256.0f : 256.0f;
  return t;
}

}  // namespace meshpeek
