#include "meshpeek/skin.h"

#include "base/pathsplit.h"
#include "formats/pak.h"

namespace meshpeek {

namespace {

GrTexInfo infoOf(SkinTexture& t) { return {t.lod, t.lod, t.aspect, GR_TEXFMT_P_8, t.texels.data()}; }

std::optional<formats::LocatedFile> locateSkinFile(const Model& model, std::string& pakPath,
                                                   const std::string& name) {
  if (model.fromArchive) return formats::openPakMember(pakPath, name);
  if (auto file = formats::openLooseFile(name)) return std::move(file.value());
  auto file = formats::openLooseFile(fdk::fileNamePartAnySeparator(name));
  if (!file) return std::nullopt;
  return std::move(file.value());
}

}  // namespace

Status uploadSkinTexture(SkinTexture& t) {
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, t.palette.data());
  GrTexInfo info = infoOf(t);
  const FxU32 required = grTexTextureMemRequired(GR_MIPMAPLEVELMASK_BOTH, &info);
  if (required != static_cast<FxU32>(t.width * t.height)) {
    return Error{"Miscalculating required memory", "glide asks " + std::to_string(required) + " bytes"};
  }
  const FxU32 address = grTexMinAddress(GR_TMU0);
  grTexDownloadMipMap(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, address, GR_MIPMAPLEVELMASK_BOTH, &info);
  return {};
}

Status loadSkin(Model& model, std::string& pakPath, int index, const std::string& overrideName) {
  const bool hasOverride = !overrideName.empty();
  if (index < 0) return {};
  if (!hasOverride && static_cast<size_t>(index) >= model.md2.skinNames.size()) return {};
  const std::string name = hasOverride ? overrideName : model.md2.skinNames[static_cast<size_t>(index)];
  const bool required = hasOverride || index == 0;
  const auto file = locateSkinFile(model, pakPath, name);
  if (!file) {
    if (required) return Error{"Unable to read model skin.", name + ": not found"};
    return {};
  }
  // A skin that cannot be decoded, or is larger than the viewer can use, is
  // treated like one that is missing.
  auto picture = formats::readPcx(*file, name, formats::PcxRows::Continuous, kMaxSkinSide);
  if (!picture) {
    if (required) return Error{"Unable to read model skin.", picture.error().text};
    return {};
  }
  auto texture = prepareSkinTexture(picture.value());
  if (!texture.ok()) return texture.error();
  auto& t = texture.value();
  if (Status uploaded = uploadSkinTexture(t); !uploaded) return uploaded;
  model.sScale = t.sScale;
  model.tScale = t.tScale;
  return {};
}

}  // namespace meshpeek
