#include "modelgen/skins.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "modelgen/figure.h"

namespace modelgen {

namespace {

constexpr float kPi = 3.14159265f;

const std::array<std::array<int, 3>, 16> kRampColours{{
    {200, 200, 200}, {235, 180, 140}, {140, 90, 50},  {220, 40, 30},  {240, 140, 30}, {240, 220, 60},
    {60, 180, 60},   {40, 180, 170},  {50, 110, 230}, {30, 40, 120},  {150, 60, 200}, {240, 130, 180},
    {130, 140, 50},  {120, 140, 160}, {120, 20, 20},  {250, 245, 230}}};

using Painter = std::function<uint8_t(float u, float v)>;

void paint(std::vector<uint8_t>& skin, const SkinRegion& r, const Painter& painter) {
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x) {
      const float u = (static_cast<float>(x - r.x) + 0.5f) / static_cast<float>(r.w);
      const float v = (static_cast<float>(y - r.y) + 0.5f) / static_cast<float>(r.h);
      skin[static_cast<size_t>(y) * kSkinSide + static_cast<size_t>(x)] = painter(u, v);
    }
  }
}

// Light comes from the front: u = 0.5 is the middle of a part's front.
int lit(float u, int bright) {
  const float front = std::cos(2 * kPi * (u - 0.5f));
  return std::clamp(static_cast<int>(std::lround(static_cast<float>(bright) - 4.0f + 4.0f * front)), 1, 15);
}

Painter cloth(int ramp, int bright, int stripeRamp = -1, float stripeAt = 2.0f) {
  return [=](float u, float v) {
    if (stripeRamp >= 0 && std::fabs(v - stripeAt) < 0.06f) return shade(stripeRamp, lit(u, 10));
    return shade(ramp, lit(u, bright));
  };
}

Painter headPainter(const SkinTheme& t) {
  return [t](float u, float v) {
    const float du = u - 0.5f;
    const bool hair = v < 0.38f || (std::fabs(du) > 0.28f && v < 0.75f);
    if (hair) return shade(t.hair, lit(u, 8));
    for (float eye : {-0.07f, 0.07f}) {
      const float d = std::hypot((du - eye) * 2.2f, v - 0.47f);
      if (d < 0.035f) return shade(kNavy, 2);
      if (d < 0.06f) return shade(kPale, 15);
    }
    if (std::fabs(v - 0.66f) < 0.025f && std::fabs(du) < 0.07f) return shade(kDarkRed, 6);
    return shade(kSkinTone, lit(u, 12));
  };
}

Painter torsoPainter(const SkinTheme& t) {
  return [t](float u, float v) {
    const float du = u - 0.5f;
    if (v > 0.86f) return shade(kBrown, v > 0.9f && v < 0.96f && std::fabs(du) < 0.03f ? 14 : 4);
    if (std::hypot(du * 2.0f, v - 0.35f) < 0.13f) return shade(t.trim, lit(u, 13));
    if (std::fabs(du) < 0.006f) return shade(kGrey, 4);
    if (v < 0.08f) return shade(t.trim, lit(u, 9));
    return shade(t.suit, lit(u, 10));
  };
}

}  // namespace

Palette demoPalette() {
  Palette palette{};
  for (int ramp = 0; ramp < 16; ++ramp) {
    for (int level = 0; level < 16; ++level) {
      const float k = 0.1f + 0.9f * static_cast<float>(level) / 15.0f;
      for (int c = 0; c < 3; ++c) {
        const float value = static_cast<float>(kRampColours[ramp][c]) * k;
        palette[static_cast<size_t>((ramp * 16 + level) * 3 + c)] =
            static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
      }
    }
  }
  return palette;
}

std::vector<uint8_t> paintSkin(const SkinTheme& t) {
  const SkinLayout& L = figureSkinLayout();
  std::vector<uint8_t> skin(kSkinSide * kSkinSide, shade(kGrey, 0));
  paint(skin, L.head, headPainter(t));
  paint(skin, L.torso, torsoPainter(t));
  paint(skin, L.pelvis, cloth(t.trim, 7));
  paint(skin, L.upperArm, cloth(t.suit, 10, t.trim, 0.1f));
  paint(skin, L.lowerArm, [t](float u, float v) {
    return v > 0.78f ? shade(kSkinTone, lit(u, 11)) : shade(t.suit, lit(u, 9));
  });
  paint(skin, L.upperLeg, cloth(t.trim, 7));
  paint(skin, L.lowerLeg, [t](float u, float v) {
    return v > 0.55f ? shade(kBrown, lit(u, v < 0.6f ? 9 : 5)) : shade(t.trim, lit(u, 7));
  });
  paint(skin, L.foot, [](float u, float) { return shade(kBrown, lit(u, 5)); });
  paint(skin, L.caps, [t](float, float) { return shade(t.suit, 6); });
  paint(skin, L.soles, [](float, float) { return shade(kBrown, 3); });
  paint(skin, L.hands, [](float, float) { return shade(kSkinTone, 10); });
  return skin;
}

std::vector<uint8_t> paintIcon(const SkinTheme& t) {
  std::vector<uint8_t> icon(32 * 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
      uint8_t c = shade(kGrey, 3 + y / 8);
      if (fy > 25 && std::fabs(fx - 16) < 14 - (32 - fy) * 0.3f) c = shade(t.suit, 10);
      const float head = std::hypot(fx - 16, (fy - 14) * 0.9f);
      if (head < 9) c = fy < 9.5f ? shade(t.hair, 8) : shade(kSkinTone, 12);
      if ((std::hypot(fx - 12.5f, fy - 13) < 1.3f) || (std::hypot(fx - 19.5f, fy - 13) < 1.3f)) c = shade(kNavy, 2);
      if (fy > 17.5f && fy < 18.8f && std::fabs(fx - 16) < 2.5f) c = shade(kDarkRed, 6);
      icon[static_cast<size_t>(y * 32 + x)] = c;
    }
  }
  return icon;
}

}  // namespace modelgen
