#include "meshpeek/screenshot.h"

#include <cstdio>
#include <fstream>

#include "glide.h"

namespace meshpeek {

std::vector<uint8_t> encodeTga(const std::vector<uint16_t>& pixels) {
  std::vector<uint8_t> out(18, 0);
  out[2] = 2;  // uncompressed true colour
  out[12] = kShotWidth & 0xFF, out[13] = kShotWidth >> 8;
  out[14] = kShotHeight & 0xFF, out[15] = kShotHeight >> 8;
  out[16] = 24;
  out.reserve(kShotFileSize);
  // 565 channels are widened by shifting only, so full red reads 0xF8.
  for (int row = kShotHeight - 1; row >= 0; --row) {
    for (int x = 0; x < kShotWidth; ++x) {
      const uint16_t p = pixels[static_cast<size_t>(row * kShotWidth + x)];
      out.push_back(static_cast<uint8_t>((p & 0x1F) << 3));
      out.push_back(static_cast<uint8_t>(((p >> 5) & 0x3F) << 2));
      out.push_back(static_cast<uint8_t>((p >> 11) << 3));
    }
  }
  return out;
}

bool writeScreenshot(int& counter) {
  std::vector<uint16_t> pixels(static_cast<size_t>(kShotWidth * kShotHeight));
  guFbReadRegion(0, 0, kShotWidth, kShotHeight, pixels.data(), kShotWidth * 2);
  const std::vector<uint8_t> tga = encodeTga(pixels);
  char name[32];
  std::snprintf(name, sizeof name, "%s%d.tga", "shot", counter);
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(tga.data()), static_cast<std::streamsize>(tga.size()));
  if (!out) return false;
  ++counter;
  return true;
}

}  // namespace meshpeek
