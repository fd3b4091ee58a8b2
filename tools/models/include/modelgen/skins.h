// Skins and icons of the demo figure, painted on the figure's skin layout
// with a palette of sixteen colour ramps.
#pragma once

#include <string>
#include <vector>

#include "modelgen/writers.h"

namespace modelgen {

// Palette index of `level` (0 dark .. 15 bright) on colour ramp `ramp`.
inline constexpr uint8_t shade(int ramp, int level) { return static_cast<uint8_t>(ramp * 16 + level); }

enum Ramp : int { kGrey, kSkinTone, kBrown, kRed, kOrange, kYellow, kGreen, kTeal, kBlue, kNavy, kPurple, kPink, kOlive, kSteel, kDarkRed, kPale };

struct SkinTheme {
  std::string name;  // file stem: name.pcx and name_i.pcx
  int suit, trim, hair;
};

Palette demoPalette();

// 256 × 256 indices laid out as figureSkinLayout() says.
std::vector<uint8_t> paintSkin(const SkinTheme& theme);

// 32 × 32 head-and-shoulders portrait.
std::vector<uint8_t> paintIcon(const SkinTheme& theme);

}  // namespace modelgen
