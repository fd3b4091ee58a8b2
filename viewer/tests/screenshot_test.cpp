#include "meshpeek/screenshot.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures.h"

TEST(Screenshot, HeaderSizeAndBottomUpRows) {
  std::vector<uint16_t> pixels(640 * 480, 0);
  pixels[0] = 0xF800;                   // top left: red
  pixels[479 * 640] = 0x001F;           // bottom left: blue
  pixels[479 * 640 + 1] = 0x07E0;       // then green
  const auto tga = meshpeek::encodeTga(pixels);
  ASSERT_EQ(tga.size(), 921618u);
  const std::vector<uint8_t> header(tga.begin(), tga.begin() + 18);
  EXPECT_EQ(header, (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x02, 0xE0, 0x01, 24, 0}));
  const auto at = [&](size_t offset) { return std::vector<uint8_t>(tga.begin() + offset, tga.begin() + offset + 3); };
  EXPECT_EQ(at(18), (std::vector<uint8_t>{0xF8, 0, 0}));      // blue, green, red order
  EXPECT_EQ(at(21), (std::vector<uint8_t>{0, 0xFC, 0}));
  EXPECT_EQ(at(18 + 479 * 640 * 3), (std::vector<uint8_t>{0, 0, 0xF8}));
}

TEST(Screenshot, NumbersCountUpAndAFailedShotWritesNothing) {
  fixtures::TempDir dir;
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  fixtures::openGlide();
  grBufferClear(0x00FF0000, 0, 0xFFFF);
  int counter = 0;
  EXPECT_TRUE(meshpeek::writeScreenshot(counter));
  EXPECT_TRUE(meshpeek::writeScreenshot(counter));
  EXPECT_EQ(counter, 2);
  EXPECT_EQ(std::filesystem::file_size("shot0.tga"), 921618u);
  EXPECT_EQ(std::filesystem::file_size("shot1.tga"), 921618u);
  std::filesystem::create_directory("shot2.tga");  // a folder in the way
  EXPECT_FALSE(meshpeek::writeScreenshot(counter));
  EXPECT_EQ(counter, 2);
  grGlideShutdown();
  std::filesystem::current_path(previous);
}
