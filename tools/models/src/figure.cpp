#include "modelgen/figure.h"

#include <cmath>
#include <functional>

namespace modelgen {

namespace {

constexpr float kPi = 3.14159265f;

using Vec = std::array<float, 3>;

Vec add(Vec a, Vec b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2]}; }
Vec scaled(Vec a, float k) { return {a[0] * k, a[1] * k, a[2] * k}; }

// Pitch about the y axis: a positive angle swings a hanging limb forward (+x).
Vec pitch(Vec p, float a) {
  const float c = std::cos(a), s = std::sin(a);
  return {p[0] * c - p[2] * s, p[1], p[0] * s + p[2] * c};
}

Vec yaw(Vec p, float a) {
  const float c = std::cos(a), s = std::sin(a);
  return {p[0] * c - p[1] * s, p[0] * s + p[1] * c, p[2]};
}

struct Pose {
  float bob = 0;
  float hip[2] = {0, 0}, knee[2] = {0, 0};
  float shoulder[2] = {0, 0}, elbow[2] = {0, 0};
  float headTurn = 0, chest = 1.0f;
};

// One rigid piece of the body: its vertices in local coordinates and the
// transform that places it for a pose.
struct Part {
  std::vector<Vec> local;
  std::function<Vec(const Pose&, Vec)> place;
};

class Builder {
 public:
  explicit Builder(std::vector<std::string> skins) {
    src_.skinWidth = src_.skinHeight = kSkinSide;
    src_.skins = std::move(skins);
  }

  // A tapered elliptic tube hanging from its top ring (local z 0 down to
  // -length), n sides, mapped around onto `side`; both ends closed by fans.
  void tube(int n, Vec top, Vec bottom, float length, SkinRegion side, std::function<Vec(const Pose&, Vec)> place,
            SkinRegion caps = figureSkinLayout().caps);
  void sphere(int slices, int rings, float radius, SkinRegion region, std::function<Vec(const Pose&, Vec)> place);
  // A tube lying along +x (0 to length), its cross-section `halfHeight` by `halfWidth`.
  void lyingTube(int n, float halfHeight, float halfWidth, float length, SkinRegion side,
                 std::function<Vec(const Pose&, Vec)> place);
  Md2Source finish(const std::vector<std::pair<std::string, Pose>>& poses);

 private:
  uint32_t vertex(Vec local) {
    parts_.back().local.push_back(local);
    return base_ + static_cast<uint32_t>(parts_.back().local.size() - 1);
  }
  void startPart(std::function<Vec(const Pose&, Vec)> place) {
    base_ = 0;
    for (const Part& p : parts_) base_ += static_cast<uint32_t>(p.local.size());
    parts_.push_back({{}, std::move(place)});
  }
  GlVertex at(uint32_t index, SkinRegion r, float u, float v) const {
    return {(r.x + u * r.w) / kSkinSide, (r.y + v * r.h) / kSkinSide, index};
  }
  void capFan(const std::vector<uint32_t>& ring, SkinRegion caps, bool reverse);

  Md2Source src_;
  std::vector<Part> parts_;
  uint32_t base_ = 0;
};

void Builder::capFan(const std::vector<uint32_t>& ring, SkinRegion caps, bool reverse) {
  GlCommand fan{true, {}};
  const size_t n = ring.size();
  for (size_t k = 0; k < n; ++k) {
    const size_t i = reverse ? n - 1 - k : k;
    const float a = 2 * kPi * static_cast<float>(i) / static_cast<float>(n);
    fan.vertices.push_back(at(ring[i], caps, 0.5f + 0.45f * std::cos(a), 0.5f + 0.45f * std::sin(a)));
  }
  src_.commands.push_back(std::move(fan));
}

void Builder::tube(int n, Vec top, Vec bottom, float length, SkinRegion side,
                   std::function<Vec(const Pose&, Vec)> place, SkinRegion caps) {
  startPart(std::move(place));
  std::vector<uint32_t> upper, lower;
  for (int i = 0; i < n; ++i) {
    // Angle 0 faces backwards so that the front lands in the middle of the region.
    const float a = kPi + 2 * kPi * static_cast<float>(i) / static_cast<float>(n);
    upper.push_back(vertex({top[0] * std::cos(a), top[1] * std::sin(a), 0}));
    lower.push_back(vertex({bottom[0] * std::cos(a), bottom[1] * std::sin(a), -length}));
  }
  GlCommand strip{false, {}};
  for (int i = 0; i <= n; ++i) {
    const float u = static_cast<float>(i) / static_cast<float>(n);
    strip.vertices.push_back(at(upper[i % n], side, u, 0));
    strip.vertices.push_back(at(lower[i % n], side, u, 1));
  }
  src_.commands.push_back(std::move(strip));
  capFan(upper, caps, false);
  capFan(lower, caps, true);
}

void Builder::sphere(int slices, int rings, float radius, SkinRegion region,
                     std::function<Vec(const Pose&, Vec)> place) {
  startPart(std::move(place));
  const uint32_t north = vertex({0, 0, radius});
  const uint32_t south = vertex({0, 0, -radius});
  std::vector<std::vector<uint32_t>> ring(rings - 1);
  for (int r = 1; r < rings; ++r) {
    const float polar = kPi * static_cast<float>(r) / static_cast<float>(rings);
    for (int i = 0; i < slices; ++i) {
      const float a = kPi + 2 * kPi * static_cast<float>(i) / static_cast<float>(slices);
      ring[r - 1].push_back(vertex(scaled({std::sin(polar) * std::cos(a), std::sin(polar) * std::sin(a), std::cos(polar)}, radius)));
    }
  }
  const auto v = [&](int r) { return static_cast<float>(r) / static_cast<float>(rings); };
  const auto u = [&](int i) { return static_cast<float>(i) / static_cast<float>(slices); };
  // Poles as fans: the pole itself sits in the middle of the region's top or bottom edge.
  GlCommand top{true, {at(north, region, 0.5f, 0)}};
  GlCommand bottom{true, {at(south, region, 0.5f, 1)}};
  for (int i = 0; i <= slices; ++i) {
    top.vertices.push_back(at(ring.front()[i % slices], region, u(i), v(1)));
    bottom.vertices.push_back(at(ring.back()[(slices - i) % slices], region, u(slices - i), v(rings - 1)));
  }
  src_.commands.push_back(std::move(top));
  src_.commands.push_back(std::move(bottom));
  for (int r = 1; r + 1 < rings; ++r) {
    GlCommand band{false, {}};
    for (int i = 0; i <= slices; ++i) {
      band.vertices.push_back(at(ring[r - 1][i % slices], region, u(i), v(r)));
      band.vertices.push_back(at(ring[r][i % slices], region, u(i), v(r + 1)));
    }
    src_.commands.push_back(std::move(band));
  }
}

void Builder::lyingTube(int n, float halfHeight, float halfWidth, float length, SkinRegion side,
                        std::function<Vec(const Pose&, Vec)> place) {
  auto turned = [place](const Pose& pose, Vec p) { return place(pose, Vec{-p[2], p[1], p[0]}); };
  tube(n, {halfHeight, halfWidth, 0}, {halfHeight * 0.7f, halfWidth * 0.9f, 0}, length, side, turned,
       figureSkinLayout().soles);
}

Md2Source Builder::finish(const std::vector<std::pair<std::string, Pose>>& poses) {
  for (const auto& [name, pose] : poses) {
    Frame frame{name, {}};
    for (const Part& part : parts_) {
      for (const Vec& p : part.local) frame.positions.push_back(part.place(pose, p));
    }
    src_.frames.push_back(std::move(frame));
  }
  return src_;
}

std::vector<std::pair<std::string, Pose>> figurePoses() {
  std::vector<std::pair<std::string, Pose>> poses;
  for (int f = 0; f < 8; ++f) {
    const float phase = 2 * kPi * static_cast<float>(f) / 8;
    const float swing = 0.55f * std::sin(phase);
    Pose p;
    p.bob = 1.2f * std::fabs(std::sin(phase));
    p.hip[0] = swing, p.hip[1] = -swing;
    p.knee[0] = 0.5f * std::max(0.0f, -std::cos(phase)), p.knee[1] = 0.5f * std::max(0.0f, std::cos(phase));
    p.shoulder[0] = -0.8f * swing, p.shoulder[1] = 0.8f * swing;
    p.elbow[0] = p.elbow[1] = 0.4f;
    p.headTurn = 0.15f * std::sin(phase);
    poses.push_back({"walk" + std::to_string(f + 1), p});
  }
  for (int f = 0; f < 4; ++f) {
    Pose p;
    p.chest = 1.0f + 0.04f * std::sin(2 * kPi * static_cast<float>(f) / 4);
    p.elbow[0] = p.elbow[1] = 0.15f;
    p.shoulder[0] = p.shoulder[1] = 0.05f;
    poses.push_back({"stand" + std::to_string(f + 1), p});
  }
  return poses;
}

}  // namespace

const SkinLayout& figureSkinLayout() {
  static const SkinLayout layout{
      {0, 0, 128, 80},    {128, 0, 128, 80},  {128, 80, 128, 40}, {0, 80, 64, 48},   {64, 80, 64, 48},
      {0, 128, 64, 64},   {64, 128, 64, 64},  {128, 128, 128, 48}, {128, 176, 64, 64}, {192, 176, 64, 64}, {0, 192, 64, 64}};
  return layout;
}

Md2Source buildFigure(const FigureShape& shape, const std::vector<std::string>& skinNames) {
  const SkinLayout& L = figureSkinLayout();
  const float s = shape.height, g = shape.girth * shape.height;
  Builder b(skinNames);
  const auto body = [s](Vec offset) {
    return [s, offset](const Pose& pose, Vec p) { return add(add(p, scaled(offset, s)), Vec{0, 0, pose.bob}); };
  };
  b.tube(10, {6.5f * g, 9.5f * g, 0}, {5 * g, 7 * g, 0}, 20 * s, L.torso, [body](const Pose& pose, Vec p) {
    return body({0, 0, 20})(pose, Vec{p[0] * pose.chest, p[1] * pose.chest, p[2]});
  });
  b.tube(10, {5 * g, 7.5f * g, 0}, {4.5f * g, 7 * g, 0}, 5 * s, L.pelvis, body({0, 0, 0}));
  const float head = 6.5f * s * shape.headSize;
  b.sphere(10, 7, head, L.head, [body, head](const Pose& pose, Vec p) {
    return body({0, 0, 20})(pose, add(yaw(p, pose.headTurn), Vec{0, 0, head * 0.85f}));
  });
  for (int side = 0; side < 2; ++side) {
    const float y = side == 0 ? 1.0f : -1.0f;
    const Vec shoulder{0, 11.5f * y, 18.5f}, hip{0, 4 * y, -2};
    const float upperArm = 9 * s, upperLeg = 11 * s, lowerLeg = 11 * s;
    b.tube(8, {2.4f * g, 2.4f * g, 0}, {2 * g, 2 * g, 0}, upperArm, L.upperArm, [=](const Pose& pose, Vec p) {
      return body(shoulder)(pose, pitch(p, pose.shoulder[side]));
    });
    b.tube(
        8, {2 * g, 2 * g, 0}, {1.8f * g, 1.8f * g, 0}, 9 * s, L.lowerArm,
        [=](const Pose& pose, Vec p) {
          const Vec elbow = pitch(Vec{0, 0, -upperArm}, pose.shoulder[side]);
          return add(body(shoulder)(pose, elbow), pitch(p, pose.shoulder[side] + pose.elbow[side]));
        },
        L.hands);
    b.tube(8, {3.2f * g, 3.2f * g, 0}, {2.6f * g, 2.6f * g, 0}, upperLeg, L.upperLeg, [=](const Pose& pose, Vec p) {
      return body(hip)(pose, pitch(p, pose.hip[side]));
    });
    const auto kneeAt = [=](const Pose& pose) { return body(hip)(pose, pitch(Vec{0, 0, -upperLeg}, pose.hip[side])); };
    b.tube(8, {2.6f * g, 2.6f * g, 0}, {2.2f * g, 2.2f * g, 0}, lowerLeg, L.lowerLeg, [=](const Pose& pose, Vec p) {
      return add(kneeAt(pose), pitch(p, pose.hip[side] - pose.knee[side]));
    });
    b.lyingTube(6, 1.6f * s, 2.3f * g, 8 * s, L.foot, [=](const Pose& pose, Vec p) {
      const float a = pose.hip[side] - pose.knee[side];
      const Vec ankle = add(kneeAt(pose), pitch(Vec{0, 0, -lowerLeg}, a));
      return add(ankle, pitch(add(p, Vec{-2 * s, 0, -1.2f * s}), a * 0.3f));
    });
  }
  return b.finish(figurePoses());
}

}  // namespace modelgen
