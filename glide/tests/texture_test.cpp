// Texture memory sizes, downloads, the palette and texel addressing, observed through
// the pixels that triangles sample.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "glide_test_util.h"

using namespace glide_test;

namespace {

TEST(MemRequired, SumsLevelsCountingUpward) {
  const struct {
    GrLOD_t small, large;
    GrAspectRatio_t aspect;
    GrTextureFormat_t format;
    FxU32 bytes;
  } rows[] = {
      {GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, 65536},
      {GR_LOD_256, GR_LOD_256, GR_ASPECT_2x1, GR_TEXFMT_RGB_565, 65536},
      {GR_LOD_256, GR_LOD_128, GR_ASPECT_1x1, GR_TEXFMT_P_8, 65536 + 16384},
      {GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, 0},  // a chain the usual way
      {GR_LOD_2, GR_LOD_2, GR_ASPECT_8x1, GR_TEXFMT_P_8, 0},  // 2 / 8 rounds to nothing
      {GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RSVD0, 0},
      // Levels, aspects or formats outside the tables describe no texture: no memory,
      // even where some of the levels named lie inside the table.
      {-5, 100, 99, GR_TEXFMT_P_8, 0},
      {-1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_P_8, 0},
      {GR_LOD_1, 9, GR_ASPECT_1x1, GR_TEXFMT_P_8, 0},
      {INT_MIN, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, 0},
      {GR_LOD_256, INT_MAX, GR_ASPECT_1x1, GR_TEXFMT_P_8, 0},
      {GR_LOD_8, GR_LOD_8, -1, GR_TEXFMT_P_8, 0},
      {GR_LOD_8, GR_LOD_8, 7, GR_TEXFMT_P_8, 0},
      {GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, 16, 0},
      {GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, -1, 0},
  };
  for (const auto &r : rows) {
    EXPECT_EQ(grTexCalcMemRequired(r.small, r.large, r.aspect, r.format), r.bytes)
        << r.small << " " << r.large << " " << r.aspect << " " << r.format;
    GrTexInfo info{r.small, r.large, r.aspect, r.format, nullptr};
    EXPECT_EQ(grTexTextureMemRequired(GR_MIPMAPLEVELMASK_EVEN, &info), r.bytes);
  }
  EXPECT_EQ(grTexMaxAddress(GR_TMU0) - grTexMinAddress(GR_TMU0), 0x200000u);
}

// Draws a triangle whose every pixel samples texel (s, t) of the current texture, and
// returns the colour of one of its pixels.
std::uint16_t sample_at(float s_over_w, float t_over_w) {
  const float oow = 1.0f / 128.0f;
  GrVertex a = vertex(0, 0, oow, s_over_w * oow, t_over_w * oow);
  GrVertex b = vertex(16, 0, oow, s_over_w * oow, t_over_w * oow);
  GrVertex c = vertex(0, 16, oow, s_over_w * oow, t_over_w * oow);
  grBufferClear(0, 0, 0);
  grDrawTriangle(&a, &b, &c);
  return pixel(2, 2);
}

TEST(Palette, BrightensEachChannelAndSaturates) {
  open_screen();
  std::uint32_t table[256] = {};
  table[0] = 0x00FFFFFF;
  table[1] = 0x00000000;
  table[2] = 0x00C0C0C0;  // red 24 + 8 = 32 saturates at 31; green 48 + 16 = 64 at 63
  table[3] = 0x00808080;  // 16 + 8, 32 + 16, 16 + 8
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, table);
  const std::uint16_t expected[4] = {0xFFFF, 0x4208, 0xFFFF, 0xC618};
  for (int i = 0; i < 4; ++i) {
    std::vector<std::uint8_t> texels(64, static_cast<std::uint8_t>(i));
    use_texture(GR_LOD_8, GR_ASPECT_1x1, texels);
    EXPECT_EQ(sample_at(1, 1), expected[i]) << i;
  }
}

TEST(Palette, OnlyThePaletteOfTmu0IsTaken) {
  open_screen();
  std::uint32_t table[256] = {};
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_NCC0, table);
  grTexDownloadTable(GR_TMU1, GR_TEXTABLE_PALETTE, table);
  EXPECT_EQ(sample_at(1, 1), 0x001F);
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, table);
  EXPECT_EQ(sample_at(1, 1), 0x4208);
}

TEST(Source, BeforeAnyTextureTrianglesAreBlue) {
  open_screen();
  EXPECT_EQ(sample_at(3, 3), 0x001F);
  EXPECT_EQ(sample_at(300, -300), 0x001F);  // far outside the built-in texture
}

// Texel (x, y) of a texture holds an index derived from both coordinates.
std::vector<std::uint8_t> coordinate_texels(int width, int height) {
  std::vector<std::uint8_t> t(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) t[y * width + x] = static_cast<std::uint8_t>(x + 7 * y);
  }
  return t;
}

TEST(Source, WidthAndScaleFollowLodAndAspect) {
  const struct {
    GrLOD_t lod;
    GrAspectRatio_t aspect;
    int width, height;
    float s_over_w, t_over_w;  // vertex coordinates, 0..256 along the larger side
    int texel_x, texel_y;
  } rows[] = {
      {GR_LOD_256, GR_ASPECT_2x1, 256, 128, 200.5f, 100.0f, 200, 100},  // scale 1
      {GR_LOD_128, GR_ASPECT_1x2, 64, 128, 20.0f, 64.0f, 10, 32},       // scale 0.5
      {GR_LOD_64, GR_ASPECT_1x1, 64, 64, 255.0f, 4.0f, 63, 1},          // scale 0.25
      {GR_LOD_32, GR_ASPECT_1x8, 4, 32, 15.9f, 255.9f, 1, 31},          // scale 0.125
      {GR_LOD_16, GR_ASPECT_4x1, 16, 4, 128.0f, 48.0f, 8, 3},           // scale 0.0625
  };
  for (const auto &r : rows) {
    open_screen();
    index_palette();
    std::vector<std::uint8_t> texels = coordinate_texels(r.width, r.height);
    use_texture(r.lod, r.aspect, texels);
    EXPECT_EQ(index_of(sample_at(r.s_over_w, r.t_over_w)), (r.texel_x + 7 * r.texel_y) & 255)
        << r.lod << " " << r.aspect;
  }
}

TEST(Download, OnlyBothLevelsOfTmu0AreCopied) {
  open_screen();
  index_palette();
  std::vector<std::uint8_t> texels(64, 9);
  GrTexInfo info{GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, texels.data()};
  const FxU32 addr = grTexMinAddress(GR_TMU0) + 4096;
  grTexDownloadMipMap(GR_TMU0, addr, GR_MIPMAPLEVELMASK_EVEN, &info);
  grTexDownloadMipMap(GR_TMU1, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
  EXPECT_EQ(index_of(sample_at(40, 40)), 0);
  grTexDownloadMipMap(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
  EXPECT_EQ(index_of(sample_at(40, 40)), 9);
}

// Out-of-table values make a download copy nothing. Each source buffer is a heap block
// of exactly the bytes its in-table levels need, so the sanitizer build also sees any
// read beyond what the caller passed.
TEST(Download, LevelsAspectsAndFormatsOutsideTheTablesCopyNothing) {
  const struct {
    GrLOD_t small, large;
    GrAspectRatio_t aspect;
    GrTextureFormat_t format;
    std::size_t bytes;
  } rows[] = {
      {-1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_P_8, 1},
      {-3, GR_LOD_64, GR_ASPECT_1x1, GR_TEXFMT_P_8, 4096},
      {INT_MIN, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, 64},
      {GR_LOD_1, 9, GR_ASPECT_1x1, GR_TEXFMT_P_8, 1},
      {GR_LOD_8, INT_MAX, GR_ASPECT_1x1, GR_TEXFMT_P_8, 64},
      {GR_LOD_8, GR_LOD_8, 7, GR_TEXFMT_P_8, 64},
      {GR_LOD_8, GR_LOD_8, -1, GR_TEXFMT_P_8, 64},
      {GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, 16, 64},
  };
  open_screen();
  index_palette();
  std::vector<std::uint8_t> known(64, 9);
  const FxU32 addr = grTexMinAddress(GR_TMU0) + 8192;
  GrTexInfo eight{GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, known.data()};
  for (const auto &r : rows) {
    grTexDownloadMipMap(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &eight);
    const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[r.bytes]);
    std::fill_n(data.get(), r.bytes, std::uint8_t{200});
    GrTexInfo info{r.small, r.large, r.aspect, r.format, data.get()};
    grTexDownloadMipMap(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
    grTexSource(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &eight);
    EXPECT_EQ(index_of(sample_at(0, 0)), 9) << r.small << " " << r.large << " " << r.aspect;
  }
}

TEST(Download, PastTheEndIsCutOff) {
  open_screen();
  index_palette();
  std::vector<std::uint8_t> texels(65536, 5);
  GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, texels.data()};
  const FxU32 end = grTexMaxAddress(GR_TMU0);
  grTexDownloadMipMap(GR_TMU0, end - 100, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexDownloadMipMap(GR_TMU0, end + 100, GR_MIPMAPLEVELMASK_BOTH, &info);  // wholly outside
  grTexDownloadMipMap(GR_TMU0, 0xFFFFFFF0u, GR_MIPMAPLEVELMASK_BOTH, &info);
  GrTexInfo one{GR_LOD_1, GR_LOD_1, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr};
  grTexSource(GR_TMU0, end - 1, GR_MIPMAPLEVELMASK_BOTH, &one);
  EXPECT_EQ(index_of(sample_at(0, 0)), 5);  // the last byte of texture memory
}

TEST(Source, LevelOrAspectOutsideTheTablesKeepsTheCurrentTexture) {
  open_screen();
  index_palette();
  std::vector<std::uint8_t> other(64, 3);
  GrTexInfo eight{GR_LOD_8, GR_LOD_8, GR_ASPECT_1x1, GR_TEXFMT_P_8, other.data()};
  const FxU32 elsewhere = grTexMinAddress(GR_TMU0) + 0x100000;
  grTexDownloadMipMap(GR_TMU0, elsewhere, GR_MIPMAPLEVELMASK_BOTH, &eight);
  std::vector<std::uint8_t> texels(64, 9);
  use_texture(GR_LOD_8, GR_ASPECT_1x1, texels);
  const GrTexInfo rows[] = {
      {GR_LOD_1, -1, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr},
      {GR_LOD_1, 9, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr},
      {GR_LOD_1, INT_MIN, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr},
      {GR_LOD_1, GR_LOD_8, -1, GR_TEXFMT_P_8, nullptr},
      {GR_LOD_1, GR_LOD_8, 7, GR_TEXFMT_P_8, nullptr},
  };
  for (GrTexInfo info : rows) {
    grTexSource(GR_TMU0, elsewhere, GR_MIPMAPLEVELMASK_BOTH, &info);
    EXPECT_EQ(index_of(sample_at(40, 40)), 9) << info.largeLod << " " << info.aspectRatio;
  }
}

TEST(Source, ReadsOutsideTextureMemoryAreClamped) {
  open_screen();
  index_palette();
  std::vector<std::uint8_t> texels(65536, 0);
  texels[0] = 3;
  texels[65535] = 4;
  GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, texels.data()};
  grTexDownloadMipMap(GR_TMU0, grTexMinAddress(GR_TMU0), GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexDownloadMipMap(GR_TMU0, grTexMaxAddress(GR_TMU0) - 65536, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, grTexMinAddress(GR_TMU0), GR_MIPMAPLEVELMASK_BOTH, &info);
  EXPECT_EQ(index_of(sample_at(-10, -10)), 3);  // before the first byte
  grTexSource(GR_TMU0, grTexMaxAddress(GR_TMU0) - 65536, GR_MIPMAPLEVELMASK_BOTH, &info);
  EXPECT_EQ(index_of(sample_at(255, 255)), 4);      // in range: the last texel
  EXPECT_EQ(index_of(sample_at(300, 30000)), 4);    // past the last byte
}

}  // namespace
