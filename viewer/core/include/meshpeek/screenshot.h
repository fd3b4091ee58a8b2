// Screenshots: the 640 × 480 frame just shown, as an uncompressed 24-bit TGA
// written bottom row first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace meshpeek {

inline constexpr int kShotWidth = 640;
inline constexpr int kShotHeight = 480;
inline constexpr size_t kShotFileSize = 18 + kShotWidth * kShotHeight * 3;  // 921 618

// `pixels` holds 640 × 480 RGB 565 values, row 0 at the top.
std::vector<uint8_t> encodeTga(const std::vector<uint16_t>& pixels);

// "shot<counter>.tga" in the current folder from glide's colour buffer. The
// counter moves on only when the file was written, so a failed shot leaves
// no file and its number is used by the next one.
bool writeScreenshot(int& counter);

}  // namespace meshpeek
