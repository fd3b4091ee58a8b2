// The demo figure: a little walking person built from tapered cylinders, a
// sphere for the head and flattened tubes for feet, laid out on a 256 × 256 skin.
#pragma once

#include <string>
#include <vector>

#include "modelgen/writers.h"

namespace modelgen {

struct FigureShape {
  float height = 1.0f;    // overall scale
  float girth = 1.0f;     // body and limb thickness
  float headSize = 1.0f;  // head radius factor
};

inline constexpr int kSkinSide = 256;

// Frames "walk1".."walk8" (one stride) then "stand1".."stand4" (breathing);
// GL commands: strips for the sides and sphere bands, fans for caps and poles.
Md2Source buildFigure(const FigureShape& shape, const std::vector<std::string>& skinNames);

// Rectangles of the skin that the figure's parts use (pixels).
struct SkinRegion {
  int x, y, w, h;
};
struct SkinLayout {
  SkinRegion head, torso, pelvis, upperArm, lowerArm, upperLeg, lowerLeg, foot, caps, soles, hands;
};
const SkinLayout& figureSkinLayout();

}  // namespace modelgen
