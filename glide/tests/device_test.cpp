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

TEST(Lfb, ConversionStopsAtTheRowsTheStagingBufferHolds) {
  open_with(GR_RESOLUTION_800x600);
  grBufferClear(0x00FFFFFF, 0, 0);
  grLfbWriteMode(GR_LFBWRITEMODE_888);
  grLfbBegin();
  grLfbEnd();
  EXPECT_EQ(pixel(0, 511), 0x0000);
  EXPECT_EQ(pixel(0, 512), 0xFFFF);
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
