// Drawing the model: every GL command's vertices are blended between two
// frames, turned, projected and morphed, then handed to glide as triangles.
#pragma once

#include <vector>

#include "formats/md2.h"
#include "glide.h"
#include "meshpeek/model.h"

namespace meshpeek {

struct DrawParams {
  float rotationH = 0, rotationV = 0, roll = 0;  // degrees
  long long frame = 0;
  float fraction = 0;
  float centreX = 320, centreY = 270;
  float distance = 100;
  float morph = 0;
};

// The per-call part of the projection: sines and cosines of the three angles.
struct Projection {
  explicit Projection(const DrawParams& params);
  DrawParams p;
  float cosH, sinH, cosV, sinV, cosRoll, sinRoll;
};

// Frame index in 0 .. count - 1 for any frame number, negative ones too.
int wrapFrame(long long frame, int count);

// One screen vertex of texture coordinate (s, t) at model position `at`.
GrVertex projectVertex(const Projection& pr, const Model& model, formats::Vec3 at, float s, float t);

// Draws every GL command through guDrawTriangleWithClip. `scratch` holds the
// vertices of one command and grows for long ones.
void drawModel(const Model& model, const DrawParams& params, std::vector<GrVertex>& scratch);

}  // namespace meshpeek
