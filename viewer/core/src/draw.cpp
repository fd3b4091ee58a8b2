#include "meshpeek/draw.h"

#include <cmath>

namespace meshpeek {

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kFocal = 512.0f;  // pixels per unit at depth 1

// Adding and removing 2^19 in single precision leaves 24 - 20 = 4 bits below
// the binary point, so X and Y land on sixteenths of a pixel, rounded to
// nearest. `volatile` keeps the compiler from folding the pair away.
float snapToSixteenths(float v) {
  volatile float biased = v + 524288.0f;
  return biased - 524288.0f;
}

formats::Vec3 blend(formats::Vec3 a, formats::Vec3 b, float f) {
  return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

// Strips alternate their winding so every triangle keeps the same facing;
// fans share their first vertex.
void emitTriangles(bool fan, const GrVertex* v, size_t n) {
  for (size_t i = 0; i + 2 < n; ++i) {
    if (fan) {
      guDrawTriangleWithClip(&v[0], &v[i + 1], &v[i + 2]);
    } else if (i % 2 == 0) {
      guDrawTriangleWithClip(&v[i], &v[i + 1], &v[i + 2]);
    } else {
      guDrawTriangleWithClip(&v[i], &v[i + 2], &v[i + 1]);
    }
  }
}

}  // namespace

Projection::Projection(const DrawParams& params) : p(params) {
  const float h = params.rotationH * kRadiansPerDegree;
  const float v = params.rotationV * kRadiansPerDegree;
  const float r = params.roll * kRadiansPerDegree;
  cosH = std::cos(h), sinH = std::sin(h);
  cosV = std::cos(v), sinV = std::sin(v);
  cosRoll = std::cos(r), sinRoll = std::sin(r);
}

int wrapFrame(long long frame, int count) {
  const long long m = frame % count;
  return static_cast<int>(m < 0 ? m + count : m);
}

GrVertex projectVertex(const Projection& pr, const Model& model, formats::Vec3 at, float s, float t) {
  const float y1 = at.y * pr.cosRoll + at.z * pr.sinRoll;
  const float z1 = at.z * pr.cosRoll - at.y * pr.sinRoll;
  const float x2 = at.x * pr.cosV - y1 * pr.sinV;
  const float y2 = y1 * pr.cosV + at.x * pr.sinV;
  const float z3 = z1 * pr.cosH - x2 * pr.sinH;
  float depth = x2 * pr.cosH + z1 * pr.sinH + pr.p.distance;
  float oow = 1.0f / depth;
  float x = pr.p.centreX + kFocal * y2 * oow;
  float y = pr.p.centreY + kFocal * z3 * oow;
  const float m = pr.p.morph;
  if (m != 0.0f) {
    const float flatX = static_cast<float>(model.md2.skinWidth) * s + model.flatX;
    const float flatY = static_cast<float>(model.md2.skinHeight) * t + model.flatY;
    x = x + (flatX - x) * m;
    y = y + (flatY - y) * m;
    depth = depth + (1.0f - depth) * m;
    oow = 1.0f / depth;
  }
  GrVertex v{};
  v.x = snapToSixteenths(x);
  v.y = snapToSixteenths(y);
  v.oow = oow;
  v.tmuvtx[0].sow = s * model.sScale * oow;
  v.tmuvtx[0].tow = t * model.tScale * oow;
  v.r = v.g = v.b = 255.0f;
  return v;
}

void drawModel(const Model& model, const DrawParams& params, std::vector<GrVertex>& scratch) {
  const formats::Md2Model& md2 = model.md2;
  const int count = static_cast<int>(md2.frames.size());
  if (count == 0) return;
  const Projection pr(params);
  const formats::Md2Frame& a = md2.frames[static_cast<size_t>(wrapFrame(params.frame, count))];
  const formats::Md2Frame& b = md2.frames[static_cast<size_t>(wrapFrame(params.frame + 1, count))];
  for (const formats::Md2GlCommand& cmd : md2.commands) {
    if (scratch.size() < cmd.count) scratch.resize(cmd.count);
    for (uint32_t i = 0; i < cmd.count; ++i) {
      const formats::Md2GlVertex& gv = md2.glVertices[cmd.first + i];
      const formats::Vec3 at = blend(formats::decodeVertex(md2, a, gv.index), formats::decodeVertex(md2, b, gv.index),
                                     params.fraction);
      scratch[i] = projectVertex(pr, model, at, gv.s, gv.t);
    }
    emitTriangles(cmd.fan, scratch.data(), cmd.count);
  }
}

}  // namespace meshpeek
