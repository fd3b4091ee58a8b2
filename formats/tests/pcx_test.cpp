#include "formats/pcx.h"

#include <gtest/gtest.h>

#include "modelgen/writers.h"

using modelgen::ByteVector;

namespace {

modelgen::Palette rampPalette() {
  modelgen::Palette p{};
  for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i / 3);
  return p;
}

std::vector<uint8_t> pattern(uint32_t w, uint32_t h) {
  std::vector<uint8_t> px(size_t{w} * h);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<uint8_t>((i / 5) * 37 % 251);
  return px;
}

// A skin whose header says w × h and whose data is exactly `encoded`.
ByteVector rawPcx(uint16_t xmax, uint16_t ymax, const ByteVector& encoded) {
  ByteVector b(128 + encoded.size(), 0);
  std::copy(encoded.begin(), encoded.end(), b.begin() + 128);
  b[8] = static_cast<uint8_t>(xmax), b[9] = static_cast<uint8_t>(xmax >> 8);
  b[10] = static_cast<uint8_t>(ymax), b[11] = static_cast<uint8_t>(ymax >> 8);
  // Palette bytes below 0xC0 read as single pixels if the data runs into them.
  for (size_t i = 0; i < 768; ++i) b.push_back(static_cast<uint8_t>(i % 64));
  return b;
}

}  // namespace

TEST(PcxRuns, RunsLiteralsEmptyRunsAndStoppingInsideARun) {
  const struct {
    ByteVector in;
    size_t outSize;
    ByteVector expected;
    size_t used;
  } rows[] = {
      {{0xC3, 0x05}, 3, {5, 5, 5}, 2},
      {{0xC0, 0x07, 0x09}, 1, {9}, 3},  // an empty run writes nothing but consumes both bytes
      {{0xC5, 0x01}, 2, {1, 1}, 2},     // full inside the run: stop there
      {{0x3F, 0x80, 0xC1, 0xC2}, 3, {0x3F, 0x80, 0xC2}, 4},
  };
  for (const auto& row : rows) {
    std::vector<uint8_t> out(row.outSize);
    auto used = formats::decodePcxRuns(row.in, out);
    ASSERT_TRUE(used.has_value());
    EXPECT_EQ(*used, row.used);
    EXPECT_EQ(out, row.expected);
  }
  std::vector<uint8_t> out(4);
  EXPECT_FALSE(formats::decodePcxRuns(ByteVector{0xC3, 0x05}, out).has_value());
  EXPECT_FALSE(formats::decodePcxRuns(ByteVector{0x01, 0xC3}, out).has_value());
}

TEST(Pcx, SkinRoundTripsWithItsPalette) {
  const auto pixels = pattern(128, 64);
  auto image = formats::decodePcx(modelgen::encodePcx(128, 64, pixels, rampPalette()), "a.pcx");
  ASSERT_TRUE(image.ok()) << image.error().text;
  EXPECT_EQ(image->width, 128u);
  EXPECT_EQ(image->height, 64u);
  EXPECT_EQ(image->indices, pixels);
  EXPECT_EQ(image->palette[767], 255);
}

TEST(Pcx, PaddedRowsDropTheirPadByte) {
  const auto pixels = pattern(33, 7);
  auto image = formats::decodePcx(modelgen::encodePcx(33, 7, pixels, rampPalette()), "odd.pcx", formats::PcxRows::Padded);
  ASSERT_TRUE(image.ok()) << image.error().text;
  EXPECT_EQ(image->width, 33u);
  EXPECT_EQ(image->indices, pixels);
}

TEST(Pcx, TruncatedOrLyingFilesAreRefused) {
  const ByteVector good = modelgen::encodePcx(64, 64, pattern(64, 64), rampPalette());
  const struct {
    ByteVector bytes;
    const char* expected;
  } rows[] = {
      {ByteVector(good.begin(), good.begin() + 700), "a 128-byte header and a 768-byte palette"},
      {rawPcx(63, 63, {0xC8, 0x01, 0xC4}), "4096 pixels of image data"},
      {rawPcx(8191, 8191, {0xFF, 0x00}), "67108864 pixels of image data"},
  };
  for (const auto& row : rows) {
    auto image = formats::decodePcx(row.bytes, "bad.pcx");
    ASSERT_FALSE(image.ok());
    EXPECT_NE(image.error().text.find(row.expected), std::string::npos) << image.error().text;
    EXPECT_EQ(image.error().kind, fdk::ErrorKind::Damaged);
  }
}

TEST(Pcx, DataMayRunIntoThePaletteButNotPastTheFile) {
  // 1 × 800 pixels of literal bytes: they come from the palette's own bytes.
  auto image = formats::decodePcx(rawPcx(0, 767, {}), "tall.pcx");
  ASSERT_TRUE(image.ok()) << image.error().text;
  EXPECT_EQ(image->width, 1u);
  EXPECT_EQ(image->indices[3], 3);
  EXPECT_FALSE(formats::decodePcx(rawPcx(0, 768, {}), "taller.pcx").ok());
}

namespace {

// A picture in general form: window xmin..xmax by 0..ymax, `stride` bytes a
// row, every pixel a literal 1.
ByteVector windowPcx(uint16_t xmin, uint16_t xmax, uint16_t ymax, uint16_t stride) {
  ByteVector b = rawPcx(xmax, ymax, ByteVector(size_t{stride} * (ymax + 1u), 1));
  b[3] = 8, b[65] = 1;
  b[4] = static_cast<uint8_t>(xmin), b[5] = static_cast<uint8_t>(xmin >> 8);
  b[66] = static_cast<uint8_t>(stride), b[67] = static_cast<uint8_t>(stride >> 8);
  return b;
}

}  // namespace

TEST(Pcx, SidesAndRowsBeyondTheDefaultLimitAreRefusedBeforeDecoding) {
  const struct {
    ByteVector bytes;
    formats::PcxRows rows;
    const char* refusal;  // nullptr: decodes
  } rows[] = {
      {rawPcx(8191, 0, ByteVector(8192, 1)), formats::PcxRows::Continuous, nullptr},
      {rawPcx(8192, 0, ByteVector(8193, 1)), formats::PcxRows::Continuous, "at most 8192 x 8192 pixels, found 8193 x 1"},
      {rawPcx(0, 8192, ByteVector(8193, 1)), formats::PcxRows::Continuous, "at most 8192 x 8192 pixels, found 1 x 8193"},
      {windowPcx(100, 8291, 0, 8192), formats::PcxRows::Padded, nullptr},
      {windowPcx(100, 8292, 0, 8194), formats::PcxRows::Padded, "at most 8192 x 8192 pixels, found 8193 x 1"},
      {windowPcx(0, 1, 1, 9000), formats::PcxRows::Padded, "rows of at most 8192 bytes, found 9000"},
      {rawPcx(0xFFFF, 0xFFFF, {0xFF, 0x00}), formats::PcxRows::Continuous, "found 65536 x 65536"},
  };
  for (const auto& row : rows) {
    auto image = formats::decodePcx(row.bytes, "big.pcx", row.rows);
    if (!row.refusal) {
      EXPECT_TRUE(image.ok()) << image.error().text;
      continue;
    }
    ASSERT_FALSE(image.ok()) << row.refusal;
    EXPECT_NE(image.error().text.find(row.refusal), std::string::npos) << image.error().text;
  }
}
