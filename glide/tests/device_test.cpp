// Screen set-up, clearing, constant colours, the linear frame buffer and the region
// copies, read back through guFbReadRegion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "glide_test_util.h"

extern "C" int glide_header_c_vertex_size(void);
extern "C" int glide_header_c_texinfo_data_offset(void);

using namespace glide_test;

namespace {

FxBool open_with(GrScreenResolution_t res, GrColorFormat_t format = GR_COLORFORMAT_ARGB) {
  return grSstOpen(res, GR_REFRESH_60Hz, format, GR_ORIGIN_UPPER_LEFT, GR_SMOOTHING_ENABLE, 2);
}

TEST(Header, CompilesAsCWithTheCallersLayout) {
  EXPECT_EQ(glide_header_c_vertex_size(), 60);
  EXPECT_EQ(static_cast<std::size_t>(glide_header_c_texinfo_data_offset()),
            offsetof(GrTexInfo, data));
  EXPECT_EQ(sizeof(GrVertex), 60u);
}

TEST(Open, ResolutionCodesSetTheSizeOrFailWithoutChanges) {
  const struct {
    int code, width, height;
  } rows[] = {{0, 320, 200}, {7, 640, 480}, {10, 856, 480}, {11, 512, 256}};
  for (const auto &r : rows) {
    ASSERT_EQ(open_with(r.code), FXTRUE) << r.code;
    EXPECT_EQ(grSstScreenWidth(), static_cast<FxU32>(r.width)) << r.code;
    EXPECT_EQ(grSstScreenHeight(), static_cast<FxU32>(r.height)) << r.code;
  }
  grBufferClear(0x00FFFFFF, 0, 0);
  for (int code : {12, GR_RESOLUTION_NONE, -1}) {
    EXPECT_EQ(open_with(code), FXFALSE) << code;
    EXPECT_EQ(grSstScreenWidth(), 512u);
    EXPECT_EQ(grSstScreenHeight(), 256u);
  }
  EXPECT_EQ(pixel(5, 5), 0xFFFF);  // buffers not reset by a failed open
}

TEST(Open, ZeroesTheScreenRowsOfBothBuffers) {
  open_screen();
  grBufferClear(0x00FFFFFF, 0, 0x7FFF);
  open_with(GR_RESOLUTION_640x480);
  EXPECT_EQ(lit_in_rect(0, 0, 1024, 480), 0);
  // A depth of 0 again: a near triangle draws where the cleared 0x7FFF would block it.
  GrVertex a = vertex(0, 0, 0.001f), b = vertex(8, 0, 0.001f), c = vertex(0, 8, 0.001f);
  grDrawTriangle(&a, &b, &c);
  EXPECT_NE(pixel(1, 1), 0);
}

TEST(Clear, ConvertsThroughTheColourFormat) {
  const struct {
    GrColorFormat_t format;
    GrColor_t color;
    std::uint16_t expected;
  } rows[] = {
      {GR_COLORFORMAT_ARGB, 0x00FF0000, 0xF800}, {GR_COLORFORMAT_ABGR, 0x00FF0000, 0x001F},
      {GR_COLORFORMAT_RGBA, 0xFF000000, 0xF800}, {GR_COLORFORMAT_RGBA, 0x00FF0000, 0x07E0},
      {GR_COLORFORMAT_BGRA, 0xFF000000, 0x001F}, {GR_COLORFORMAT_BGRA, 0x0000FF00, 0xF800},
      {9, 0x000000FF, 0x001F},  // unknown formats read as ARGB
      {GR_COLORFORMAT_ARGB, 0x00070307, 0x0000},  // low bits below 565 precision drop
      {GR_COLORFORMAT_ARGB, 0x00080408, 0x0821},
  };
  for (const auto &r : rows) {
    open_with(GR_RESOLUTION_640x480, r.format);
    grBufferClear(r.color, 0, 0);
    EXPECT_EQ(pixel(0, 0), r.expected) << r.format << " " << std::hex << r.color;
    EXPECT_EQ(pixel(639, 479), r.expected);
  }
}

TEST(Clear, FillsWholeRowsOfTheScreenHeightOnly) {
  open_with(GR_RESOLUTION_640x480);  // zeroes rows 0..479
  open_with(GR_RESOLUTION_512x256);
  grBufferClear(0x00FFFFFF, 0, 0);
  EXPECT_EQ(pixel(1023, 255), 0xFFFF);  // beyond the width, within the height
  EXPECT_EQ(pixel(0, 256), 0);
}

// Columns right of the screen are skipped by a clear with unchanged values, so every
// way of writing there must make the next clear cover them again.
TEST(Clear, ColumnsRightOfTheScreenFollowEveryClear) {
  const std::uint16_t mark = 0x1234;
  auto expect_cleared_after = [&](const char *how, auto write) {
    open_with(GR_RESOLUTION_640x480);
    grBufferClear(0x00FFFFFF, 0, 0);
    grBufferClear(0x00FFFFFF, 0, 0);
    write();
    grBufferClear(0x00FFFFFF, 0, 0);
    EXPECT_EQ(pixel(700, 10), 0xFFFF) << how;
    EXPECT_EQ(pixel(1023, 479), 0xFFFF) << how;
  };
  expect_cleared_after("region write", [&] { guFbWriteRegion(700, 10, 1, 1, &mark, 2); });
  expect_cleared_after("write pointer", [&] {
    static_cast<std::uint16_t *>(grLfbGetWritePtr(GR_BUFFER_BACKBUFFER))[10 * 1024 + 700] = mark;
  });
  expect_cleared_after("lock", [&] {
    GrLfbInfo_t info{};
    grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
              FXFALSE, &info);
    static_cast<std::uint16_t *>(info.lfbPtr)[10 * 1024 + 700] = mark;
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  });
  expect_cleared_after("8:8:8 conversion", [&] {
    grLfbWriteMode(GR_LFBWRITEMODE_888);
    grLfbBegin();
    grLfbEnd();
  });

  open_with(GR_RESOLUTION_640x480);
  grBufferClear(0x00FFFFFF, 0, 0);
  grBufferClear(0x000000FF, 0, 0);  // another colour reaches the margin too
  EXPECT_EQ(pixel(1023, 0), 0x001F);

  open_with(GR_RESOLUTION_800x600);  // a wider screen draws where 640's margin starts
  grBufferClear(0, 0, 0);
  GrVertex a = vertex(700, 0), b = vertex(780, 0), c = vertex(700, 80);
  grDrawTriangle(&a, &b, &c);
  ASSERT_NE(pixel(710, 10), 0);
  open_with(GR_RESOLUTION_640x480);
  grBufferClear(0, 0, 0);
  EXPECT_EQ(pixel(710, 10), 0);
}

// A clear with the last clear's values covers only the parts of the buffers drawn
// since, so every way of drawing on the screen must make the next such clear cover
// what it drew, colour and depth alike.
TEST(Clear, UnchangedValuesPutBackEverythingDrawnSince) {
  const std::uint16_t mark[40] = {0x1234, 0x1234, 0x1234};
  auto expect_cleared_after = [&](const char *how, auto draw) {
    open_with(GR_RESOLUTION_640x480);
    grBufferClear(0, 0, 0);
    grBufferClear(0, 0, 0);
    draw();
    ASSERT_GT(lit_in_rect(0, 0, 1024, 480), 0) << how << " drew nothing";
    grBufferClear(0, 0, 0);
    EXPECT_EQ(lit_in_rect(0, 0, 1024, 480), 0) << how;
  };
  auto triangle = [](float x, float y, float w, float h, float oow) {
    GrVertex a = vertex(x, y, oow), b = vertex(x + w, y, oow), c = vertex(x, y + h, oow);
    grDrawTriangle(&a, &b, &c);
  };
  expect_cleared_after("small triangle", [&] { triangle(30, 100, 40, 40, 0.01f); });
  expect_cleared_after("triangle at the screen's corner", [&] { triangle(600, 440, 40, 40, 0.01f); });
  expect_cleared_after("triangle reaching off the screen", [&] { triangle(-50, 400, 800, 200, 0.01f); });
  expect_cleared_after("line", [] {
    GrVertex a = vertex(10, 300), b = vertex(600, 310);
    grDrawLine(&a, &b);
  });
  expect_cleared_after("point", [] {
    GrVertex p = vertex(639, 479);
    grDrawPoint(&p);
  });
  expect_cleared_after("region write", [&] { guFbWriteRegion(31, 7, 3, 1, mark, 80); });
  std::uint16_t *kept = static_cast<std::uint16_t *>(grLfbGetWritePtr(GR_BUFFER_BACKBUFFER));
  expect_cleared_after("write through a kept pointer between begin and end", [&] {
    grLfbBegin();
    kept[300 * 1024 + 100] = mark[0];
    grLfbEnd();
  });
  expect_cleared_after("locked write", [&] {
    GrLfbInfo_t info{};
    grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
              FXFALSE, &info);
    static_cast<std::uint16_t *>(info.lfbPtr)[200 * 1024 + 320] = mark[0];
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  });

  // The depth a near triangle left is cleared too: a far one draws there afterwards.
  open_with(GR_RESOLUTION_640x480);
  grBufferClear(0, 0, 0);
  triangle(100, 100, 64, 64, 0.02f);
  grBufferClear(0, 0, 0);
  triangle(100, 100, 64, 64, 0.002f);
  EXPECT_NE(pixel(110, 110), 0);
}

TEST(ConstantColour, FloatComponentsRoundToNearestEven) {
  const struct {
    float r, g, b;
    std::uint16_t expected;
  } rows[] = {
      {255.0f, 255.0f, 255.0f, 0xFFFF},
      {7.4f, 3.6f, 8.0f, 0x0021},   // red 7 -> 0, green 4 -> 1, blue 8 -> 1
      {6.5f, 4.5f, 7.5f, 0x0021},   // 6.5 -> 6, 4.5 -> 4, 7.5 -> 8: ties go to even
      {300.0f, -5.0f, NAN, 0xF800},  // out of range clamps instead of spilling
  };
  open_screen();
  for (const auto &r : rows) {
    grConstantColorValue4(0.0f, r.r, r.g, r.b);
    GrVertex p = vertex(3, 3);
    grDrawPoint(&p);
    EXPECT_EQ(pixel(3, 3), r.expected) << r.r << " " << r.g << " " << r.b;
  }
}

TEST(Lfb, StagingConversionOf888Writes) {
  open_screen();
  grBufferClear(0x00FFFFFF, 0, 0);
  grLfbWriteMode(GR_LFBWRITEMODE_888);
  auto *staging = static_cast<std::uint8_t *>(grLfbGetWritePtr(GR_BUFFER_BACKBUFFER));
  ASSERT_NE(static_cast<const void *>(staging), grLfbGetReadPtr(GR_BUFFER_FRONTBUFFER));
  grLfbBegin();
  const std::uint8_t red[4] = {0xFF, 0x00, 0x00, 0};
  const std::uint8_t mixed[4] = {0x0F, 0x1F, 0xF8, 0x55};
  std::memcpy(staging, red, 4);
  std::memcpy(staging + 4 * 1025, mixed, 4);  // pixel (1, 1)
  grLfbEnd();
  EXPECT_EQ(pixel(0, 0), 0xF800);
  EXPECT_EQ(pixel(1, 1), 0x08FF);
  EXPECT_EQ(pixel(2, 0), 0x0000);  // the rest of the zeroed staging buffer comes through
}

// The two screens taller than half the buffer, where 8:8:8 writes reach the most rows.
const GrScreenResolution_t kTallScreens[] = {GR_RESOLUTION_800x600, GR_RESOLUTION_960x720};

// Marks the row just below the screen, which 8:8:8 conversion must leave alone.
void mark_row_below_screen() {
  const std::vector<std::uint16_t> marker(1024, 0x1234);
  guFbWriteRegion(0, static_cast<int>(grSstScreenHeight()), 1024, 1, marker.data(), 2048);
}

// One row of 8:8:8 pixels (red, green, blue, ignored byte) whose 565 forms all differ.
void write_888_row(std::uint8_t *row) {
  for (int x = 0; x < 1024; ++x) {
    row[4 * x] = static_cast<std::uint8_t>(x);
    row[4 * x + 1] = static_cast<std::uint8_t>(x >> 2);
    row[4 * x + 2] = static_cast<std::uint8_t>(255 - x);
    row[4 * x + 3] = 0xEE;
  }
}

std::uint16_t converted_888(int x) {
  const unsigned r = x & 255, g = (x >> 2) & 255, b = (255 - x) & 255;
  return static_cast<std::uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

// Counts the pixels of row y that differ from what write_888_row converts to.
int row_mismatches_888(int y) {
  const std::vector<std::uint16_t> r = row(y, 1024);
  int bad = 0;
  for (int x = 0; x < 1024; ++x) bad += r[x] != converted_888(x);
  return bad;
}

TEST(Lfb, ConversionCoversEveryScreenRowAndNoMore) {
  for (GrScreenResolution_t res : kTallScreens) {
    ASSERT_EQ(open_with(res), FXTRUE);
    const int h = static_cast<int>(grSstScreenHeight());
    grBufferClear(0x00FFFFFF, 0, 0);
    mark_row_below_screen();
    grLfbWriteMode(GR_LFBWRITEMODE_888);
    grLfbBegin();
    auto *staging = static_cast<std::uint8_t *>(grLfbGetWritePtr(GR_BUFFER_BACKBUFFER));
    write_888_row(staging + std::size_t{4096} * (h - 1));
    grLfbEnd();
    EXPECT_EQ(pixel(0, 511), 0x0000) << h;
    EXPECT_EQ(pixel(0, 512), 0x0000) << h;  // zeroed staging rows come through too
    EXPECT_EQ(pixel(799, h - 2), 0x0000) << h;
    EXPECT_EQ(row_mismatches_888(h - 1), 0) << h;
    EXPECT_EQ(pixel(0, h), 0x1234) << h;
  }
}

// Byte i of texture memory as the pattern below writes it: varies along and across
// 256-byte rows, so any write over it shows.
std::uint8_t texmem_pattern(std::size_t i) { return static_cast<std::uint8_t>(i * 7 + i / 256); }

void fill_texture_memory() {
  std::vector<std::uint8_t> block(65536);
  for (FxU32 start = 0; start < 0x200000; start += 65536) {
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = texmem_pattern(start + i);
    GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, block.data()};
    grTexDownloadMipMap(GR_TMU0, grTexMinAddress(GR_TMU0) + start, GR_MIPMAPLEVELMASK_BOTH, &info);
  }
}

// Reads all of texture memory back, 256 x 256 texels at a time through a triangle
// whose pixel (x, y) samples texel (x, y) (its long sides keep rows 0-255 whole),
// and counts the bytes that no longer hold the pattern. Needs index_palette().
int texture_memory_mismatches() {
  const float oow = 1.0f / 128.0f;
  const GrVertex a = vertex(0, 0, oow, 0, 0), b = vertex(512, 0, oow, 512 * oow, 0),
                 c = vertex(0, 512, oow, 0, 512 * oow);
  std::vector<std::uint16_t> px(65536);
  int bad = 0;
  for (FxU32 start = 0; start < 0x200000; start += 65536) {
    GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, nullptr};
    grTexSource(GR_TMU0, grTexMinAddress(GR_TMU0) + start, GR_MIPMAPLEVELMASK_BOTH, &info);
    grBufferClear(0, 0, 0);
    grDrawTriangle(&a, &b, &c);
    guFbReadRegion(0, 0, 256, 256, px.data(), 512);
    for (std::size_t i = 0; i < px.size(); ++i) bad += index_of(px[i]) != texmem_pattern(start + i);
  }
  return bad;
}

TEST(Lfb, LockedWritesReachTheLastScreenRowAndNothingElse) {
  for (GrScreenResolution_t res : kTallScreens) {
    ASSERT_EQ(open_with(res), FXTRUE);
    const int h = static_cast<int>(grSstScreenHeight());
    index_palette();
    fill_texture_memory();
    ASSERT_EQ(texture_memory_mismatches(), 0) << "the read-back itself";
    grBufferClear(0x00FFFFFF, 0, 0);
    mark_row_below_screen();
    GrLfbInfo_t info{};
    grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888,
              GR_ORIGIN_UPPER_LEFT, FXFALSE, &info);
    ASSERT_EQ(info.strideInBytes, 4096u);
    write_888_row(static_cast<std::uint8_t *>(info.lfbPtr) + std::size_t{4096} * (h - 1));
    grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
    EXPECT_EQ(row_mismatches_888(h - 1), 0) << h;
    EXPECT_EQ(pixel(0, h), 0x1234) << h;
    EXPECT_EQ(texture_memory_mismatches(), 0) << h;
  }
}

TEST(Lfb, LockReportsTheBufferThatItsModeWrites) {
  open_screen();
  GrLfbInfo_t info{};
  grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_565, GR_ORIGIN_UPPER_LEFT,
            FXFALSE, &info);
  ASSERT_EQ(info.strideInBytes, 2048u);
  static_cast<std::uint16_t *>(info.lfbPtr)[2 * 1024 + 3] = 0x1234;
  EXPECT_EQ(grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER), FXTRUE);
  EXPECT_EQ(pixel(3, 2), 0x1234);
  // 8:8:8 writes go through the staging buffer, which unlock converts.
  grLfbLock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER, GR_LFBWRITEMODE_888, GR_ORIGIN_UPPER_LEFT,
            FXFALSE, &info);
  ASSERT_EQ(info.strideInBytes, 4096u);
  auto *row1 = static_cast<std::uint8_t *>(info.lfbPtr) + info.strideInBytes;
  row1[4 * 5 + 1] = 0xFF;  // pixel (5, 1), green
  grLfbUnlock(GR_LFB_WRITE_ONLY, GR_BUFFER_BACKBUFFER);
  EXPECT_EQ(pixel(5, 1), 0x07E0);
}

// Fills the colour buffer so that pixel (x, y) holds x + 1024 * y (low 16 bits).
void fill_with_coordinates() {
  std::vector<std::uint16_t> all(1024 * 1024);
  for (int i = 0; i < 1024 * 1024; ++i) all[i] = static_cast<std::uint16_t>(i);
  guFbWriteRegion(0, 0, 1024, 1024, all.data(), 2048);
}

TEST(Region, StrideRoundsTowardZeroToWholePixels) {
  open_screen();
  fill_with_coordinates();
  for (int stride : {641, 640}) {
    std::vector<std::uint8_t> out(2000, 0xAA);
    guFbReadRegion(10, 3, 2, 2, out.data(), stride);
    std::uint16_t p[4];
    std::memcpy(&p[0], &out[0], 2);
    std::memcpy(&p[1], &out[2], 2);
    std::memcpy(&p[2], &out[640], 2);
    std::memcpy(&p[3], &out[642], 2);
    EXPECT_EQ(p[0], 10 + 3 * 1024);
    EXPECT_EQ(p[1], 11 + 3 * 1024);
    EXPECT_EQ(p[2], 10 + 4 * 1024);
    EXPECT_EQ(p[3], 11 + 4 * 1024);
    EXPECT_EQ(out[644], 0xAA) << stride;
  }
}

TEST(Region, RectanglesReachingOutsideTheBufferAreClipped) {
  open_screen();
  fill_with_coordinates();
  // Pixel (i, j) of the caller's 4 x 3 block is buffer pixel (-2 + i, -1 + j).
  std::vector<std::uint16_t> out(12, 0xAAAA);
  guFbReadRegion(-2, -1, 4, 3, out.data(), 8);
  EXPECT_EQ(out[0], 0xAAAA);
  EXPECT_EQ(out[4 + 1], 0xAAAA);
  EXPECT_EQ(out[4 + 2], 0);        // buffer (0, 0)
  EXPECT_EQ(out[8 + 3], 1 + 1024);  // buffer (1, 1)
  // The far corner: only buffer pixel (1023, 1023) exists.
  std::vector<std::uint16_t> corner(9, 0xAAAA);
  guFbReadRegion(1023, 1023, 3, 3, corner.data(), 6);
  EXPECT_EQ(corner[0], static_cast<std::uint16_t>(1023 + 1023 * 1024));
  EXPECT_EQ(corner[1], 0xAAAA);
  const std::uint16_t big[4] = {1, 2, 3, 4};
  guFbWriteRegion(1022, 1023, 2, 2, big, 4);  // second row lies outside
  EXPECT_EQ(pixel(1022, 1023), 1);
  EXPECT_EQ(pixel(1023, 1023), 2);
  guFbReadRegion(2000000000, 5, 2000000000, 1, out.data(), 0);  // no overflow of x + w
}

TEST(Region, WriteWithBlendingFillsOnlyBlackPixels) {
  const struct {
    GrAlphaBlendFnc_t sf, df;
    GrAlpha_t alpha;
    bool only_black;
  } rows[] = {
      {GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, 0, false},
      {GR_BLEND_SRC_ALPHA, GR_BLEND_ONE_MINUS_SRC_ALPHA, 1, true},
      {GR_BLEND_ONE, GR_BLEND_ZERO, 1, false},  // ONE and ZERO do not blend
      {GR_BLEND_ONE, GR_BLEND_DST_ALPHA, 200, true},
  };
  for (const auto &r : rows) {
    open_screen();
    const std::uint16_t existing[2] = {0x0000, 0x1111};
    guFbWriteRegion(0, 0, 2, 1, existing, 4);
    grAlphaBlendFunction(r.sf, r.df, GR_BLEND_ONE, GR_BLEND_ZERO);
    grLfbConstantAlpha(r.alpha);
    const std::uint16_t incoming[2] = {0xABCD, 0xABCD};
    guFbWriteRegion(0, 0, 2, 1, incoming, 4);
    EXPECT_EQ(pixel(0, 0), 0xABCD);
    EXPECT_EQ(pixel(1, 0), r.only_black ? 0x1111 : 0xABCD) << r.sf << " " << r.df;
  }
}

}  // namespace
