// Texture memory, the palette and the current texture source.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "device.h"

namespace glide {
namespace {

// Texture addresses are 32-bit values; address A names texture-memory byte A - kMinAddress.
constexpr FxU32 kMinAddress = 0;

constexpr int kLodCount = 9;     // GR_LOD_256 (0) .. GR_LOD_1 (8)
constexpr int kAspectCount = 7;  // GR_ASPECT_8x1 (0) .. GR_ASPECT_1x8 (6)

constexpr FxU32 kAspectDivisor[kAspectCount] = {8, 4, 2, 1, 2, 4, 8};
// Bytes per texel by format; the reserved formats 6, 7 and 15 take no memory.
constexpr FxU32 kTexelBytes[16] = {1, 1, 1, 1, 1, 1, 0, 0, 2, 2, 2, 2, 2, 2, 2, 0};

// A level outside the table describes no texture, so a call naming one is ignored
// whole, like any other unknown value. Narrowing it to the levels that exist instead
// would size and copy levels the caller never described, reading past its data.
bool valid_lod(GrLOD_t lod) { return lod >= 0 && lod < kLodCount; }
bool valid_aspect(GrAspectRatio_t a) { return a >= 0 && a < kAspectCount; }

// Size of one level. Values outside the tables describe no texture and take no memory.
FxU32 level_size(GrLOD_t lod, GrAspectRatio_t aspect, GrTextureFormat_t format) {
  if (!valid_lod(lod) || !valid_aspect(aspect) || format < 0 || format > 15) return 0;
  const FxU32 side = 256u >> lod;
  return side / kAspectDivisor[aspect] * side * kTexelBytes[format];
}

// Copies into texture memory, cutting off whatever would run past its end.
void copy_to_texmem(std::int64_t offset, const void *data, FxU32 size) {
  if (offset < 0 || offset >= static_cast<std::int64_t>(kTexMemSize)) return;
  const auto room = static_cast<std::size_t>(kTexMemSize - offset);
  std::memcpy(dev.texmem + offset, data, std::min<std::size_t>(size, room));
}

// Channel brightening of the palette: a quarter of the range added, saturating.
std::uint16_t brighten_565(std::uint32_t entry) {
  const std::uint32_t red = std::min(31u, ((entry >> 19) & 31u) + 8u);
  const std::uint32_t green = std::min(63u, ((entry >> 10) & 63u) + 16u);
  const std::uint32_t blue = std::min(31u, ((entry >> 3) & 31u) + 8u);
  return static_cast<std::uint16_t>(red << 11 | green << 5 | blue);
}

}  // namespace

void reset_texture_state() {
  std::fill(std::begin(dev.palette), std::end(dev.palette), std::uint16_t{0x001F});
  dev.tex = TexSource{dev.builtin_tex, kBuiltinTexSize, 0, 4, 16.0f / 256.0f, 16.0f / 256.0f};
}

}  // namespace glide

using namespace glide;

extern "C" {

FX_ENTRY FxU32 FX_CALL grTexMinAddress(GrChipID_t) { return kMinAddress; }
FX_ENTRY FxU32 FX_CALL grTexMaxAddress(GrChipID_t) { return kMinAddress + kTexMemSize; }

// Sums the levels from small_lod up to large_lod, counting upward in numbers, so a
// chain given with the small level as the larger number sums nothing.
FX_ENTRY FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t small_lod, GrLOD_t large_lod,
                                            GrAspectRatio_t aspect, GrTextureFormat_t format) {
  if (!valid_lod(small_lod) || !valid_lod(large_lod)) return 0;
  FxU32 total = 0;
  for (GrLOD_t lod = small_lod; lod <= large_lod; ++lod) total += level_size(lod, aspect, format);
  return total;
}

FX_ENTRY FxU32 FX_CALL grTexTextureMemRequired(FxU32, GrTexInfo *info) {
  if (info == nullptr) return 0;
  return grTexCalcMemRequired(info->smallLod, info->largeLod, info->aspectRatio, info->format);
}

// Every level is copied from the start of info->data; only single-level downloads
// are meaningful, which is all the viewer makes.
FX_ENTRY void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 start_address, FxU32 even_odd,
                                          GrTexInfo *info) {
  if (tmu != GR_TMU0 || even_odd != GR_MIPMAPLEVELMASK_BOTH) return;
  if (info == nullptr || info->data == nullptr) return;
  if (!valid_lod(info->smallLod) || !valid_lod(info->largeLod)) return;
  std::int64_t offset = std::int64_t{start_address} - kMinAddress;
  for (GrLOD_t lod = info->smallLod; lod <= info->largeLod; ++lod) {
    const FxU32 size = level_size(lod, info->aspectRatio, info->format);
    copy_to_texmem(offset, info->data, size);
    offset += size;
  }
}

FX_ENTRY void FX_CALL grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void *data) {
  if (tmu != GR_TMU0 || type != GR_TEXTABLE_PALETTE || data == nullptr) return;
  const auto *bytes = static_cast<const unsigned char *>(data);
  for (int i = 0; i < 256; ++i) {
    std::uint32_t entry;
    std::memcpy(&entry, bytes + 4 * i, 4);
    dev.palette[i] = brighten_565(entry);
  }
}

// Vertex coordinates run 0..256 along the larger side, so both scales are the larger
// side over 256. A level or aspect outside the tables describes no texture: ignored.
FX_ENTRY void FX_CALL grTexSource(GrChipID_t, FxU32 start_address, FxU32, GrTexInfo *info) {
  if (info == nullptr || !valid_lod(info->largeLod) || !valid_aspect(info->aspectRatio)) return;
  const int large_log = 8 - info->largeLod;
  const int tall_by = info->aspectRatio > GR_ASPECT_1x1 ? info->aspectRatio - GR_ASPECT_1x1 : 0;
  const float scale = static_cast<float>(1 << large_log) / 256.0f;
  dev.tex = TexSource{dev.texmem, kTexMemSize, std::int64_t{start_address} - kMinAddress,
                      std::max(large_log - tall_by, 0), scale, scale};
}

FX_ENTRY void FX_CALL grTexCombine(GrChipID_t, GrCombineFunction_t, GrCombineFactor_t,
                                   GrCombineFunction_t, GrCombineFactor_t, FxBool, FxBool) {}
FX_ENTRY void FX_CALL grTexCombineFunction(GrChipID_t, GrTextureCombineFnc_t) {}
FX_ENTRY void FX_CALL grTexClampMode(GrChipID_t, GrTextureClampMode_t, GrTextureClampMode_t) {}
FX_ENTRY void FX_CALL grTexFilterMode(GrChipID_t, GrTextureFilterMode_t, GrTextureFilterMode_t) {}
FX_ENTRY void FX_CALL grTexMipMapMode(GrChipID_t, GrMipMapMode_t, FxBool) {}

FX_ENTRY GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t, FxU8, int, int, GrTextureFormat_t,
                                                  GrMipMapMode_t, GrLOD_t, GrLOD_t,
                                                  GrAspectRatio_t, GrTextureClampMode_t,
                                                  GrTextureClampMode_t, GrTextureFilterMode_t,
                                                  GrTextureFilterMode_t, float, FxBool) {
  return 0;
}
FX_ENTRY void FX_CALL guTexDownloadMipMap(GrMipMapId_t, const void *, const void *) {}
FX_ENTRY void FX_CALL guTexMemReset(void) {}
FX_ENTRY void FX_CALL guTexSource(GrMipMapId_t) {}

}  // extern "C"
