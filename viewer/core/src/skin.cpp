#include "meshpeek/skin.h"

#include <algorithm>
#include <new>

#include "formats/pak.h"

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

GrTexInfo infoOf(SkinTexture& t) { return {t.lod, t.lod, t.aspect, GR_TEXFMT_P_8, t.texels.data()}; }

std::optional<std::vector<uint8_t>> readSkinFile(const Model& model, std::string& pakPath, const std::string& name) {
  if (model.fromArchive) {
    auto member = formats::openPakMember(pakPath, name);
    if (!member) return std::nullopt;
    return std::move(member->bytes);
  }
  if (auto bytes = formats::readWholeFile(name)) return bytes;
  const size_t cut = name.find_last_of("/\\");
  return formats::readWholeFile(cut == std::string::npos ? name : name.substr(cut + 1));
}

}  // namespace

std::optional<int> textureSide(uint32_t side) {
  if (side <= 1) return std::nullopt;
  int result = 2;
  while (result < 256 && static_cast<uint32_t>(result) < side) result *= 2;
  return result;
}

Outcome<SkinTexture> prepareSkinTexture(const formats::PcxImage& picture) {
  SkinTexture t;
  for (size_t i = 0; i < 256; ++i) {
    t.palette[i] = (FxU32{picture.palette[i * 3]} << 16) | (FxU32{picture.palette[i * 3 + 1]} << 8) |
                   picture.palette[i * 3 + 2];
  }
  const auto w = textureSide(picture.width);
  if (!w) return Failure{"Bad texture width", "skin width " + std::to_string(picture.width)};
  const auto h = textureSide(picture.height);
  if (!h) return Failure{"Bad texture height", "skin height " + std::to_string(picture.height)};
  t.width = *w, t.height = *h;
  t.lod = lodFor(std::max(t.width, t.height));
  const auto aspect = aspectFor(t.width, t.height);
  if (!aspect) {
    return Failure{"Unable to determine aspect ratio",
                   "texture " + std::to_string(t.width) + " x " + std::to_string(t.height)};
  }
  t.aspect = *aspect;
  try {
    t.texels.resize(static_cast<size_t>(t.width * t.height));
  } catch (const std::bad_alloc&) {
    return Failure{"Not enough memory for scaled texture", ""};
  }
  resample(picture, t);
  const float ratio = t.height < t.width ? static_cast<float>(t.height) / static_cast<float>(t.width)
                                         : static_cast<float>(t.width) / static_cast<float>(t.height);
  t.sScale = t.height < t.width ? 256.0f : ratio * 256.0f;
  t.tScale = t.height < t.width ? ratio * 256.0f : 256.0f;
  return t;
}

std::optional<Failure> uploadSkinTexture(SkinTexture& t) {
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, t.palette.data());
  GrTexInfo info = infoOf(t);
  const FxU32 required = grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info);
  if (required != static_cast<FxU32>(t.width * t.height)) {
    return Failure{"Miscalculating required memory", "glide asks " + std::to_string(required) + " bytes"};
  }
  const FxU32 address = grTexMinAddress(GR_TMU0);
  grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
  return std::nullopt;
}

std::optional<Failure> loadSkin(Model& model, std::string& pakPath, int index, const std::string& overrideName) {
  const bool hasOverride = !overrideName.empty();
  if (index < 0) return std::nullopt;
  if (!hasOverride && static_cast<size_t>(index) >= model.md2.skinNames.size()) return std::nullopt;
  const std::string name = hasOverride ? overrideName : model.md2.skinNames[static_cast<size_t>(index)];
  const bool required = hasOverride || index == 0;
  auto bytes = readSkinFile(model, pakPath, name);
  if (!bytes) {
    if (required) return Failure{"Unable to read model skin.", name + ": not found"};
    return std::nullopt;
  }
  // A skin that cannot be decoded is treated like one that is missing.
  auto picture = formats::decodePcx(*bytes, name);
  if (!picture) {
    if (required) return Failure{"Unable to read model skin.", picture.error().text};
    return std::nullopt;
  }
  auto texture = prepareSkinTexture(picture.value());
  if (failed(texture)) return std::get<Failure>(texture);
  auto& t = std::get<SkinTexture>(texture);
  if (auto failure = uploadSkinTexture(t)) return failure;
  model.sScale = t.sScale;
  model.tScale = t.tScale;
  return std::nullopt;
}

}  // namespace meshpeek
