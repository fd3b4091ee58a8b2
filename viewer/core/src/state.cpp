#include "meshpeek/state.h"

#include <cmath>

namespace meshpeek {

namespace {

void heldKeys(ViewerState& s, const FrameInput& in, FrameActions& out) {
  if (in.up) s.centreY -= 1;
  if (in.down) s.centreY += 1;
  if (in.left) s.centreX -= 1;
  if (in.right) s.centreX += 1;
  if (in.a) s.distance -= 1;
  if (in.z) s.distance += 1;
  if (in.escape) out.quit = true;
  if (in.padPlus) s.speed += 0.001f;
  if (in.padMinus) s.speed -= 0.001f;
  if (in.mouseLeft) s.distance -= 1;
  if (in.mouseRight) s.distance += 1;
}

void animate(ViewerState& s, const FrameInput& in) {
  if (!in.freeze && s.morph == 0.0f) s.framePosition += s.speed;
  if (s.morphOn) {
    if (s.morph < 1.0f) {
      s.morph += 0.02f;
      if (s.morph > 1.0f) s.morph = 1.0f;
    }
  } else if (s.morph > 0.0f) {
    s.morph -= 0.02f;
    if (s.morph < 0.0f) s.morph = 0.0f;
  }
}

// Tab steps through the skins (Shift backwards), wrapping at both ends; a
// digit then picks one directly: 1..9 are skins 0..8, 0 is skin 9, and a
// skin beyond the list means the last one.
void chooseSkin(ViewerState& s, const FrameInput& in, int count, FrameActions& out) {
  if (count == 0) return;
  if (in.tabPressed) {
    s.skin = in.shift ? (s.skin <= 0 ? count - 1 : s.skin - 1) : (s.skin + 1 >= count ? 0 : s.skin + 1);
    out.loadSkin = true;
  }
  if (in.digitPressed >= 0 && in.digitPressed <= 9) {
    const int wanted = in.digitPressed == 0 ? 9 : in.digitPressed - 1;
    s.skin = wanted >= count ? count - 1 : wanted;
    out.loadSkin = true;
  }
}

}  // namespace

FrameActions updateState(ViewerState& state, const FrameInput& input, int skinCount) {
  FrameActions actions;
  heldKeys(state, input, actions);
  // One degree per pixel: moving the mouse down tilts the model toward the
  // viewer, moving it right turns the model to the right.
  state.rotationH += static_cast<float>(input.mouseDy);
  state.rotationV -= static_cast<float>(input.mouseDx);
  animate(state, input);
  if (input.enterPressed) state.morphOn = !state.morphOn;
  actions.screenshot = input.screenshotPressed;
  chooseSkin(state, input, skinCount, actions);
  return actions;
}

FrameToDraw frameToDraw(const ViewerState& state, bool still) {
  const float whole = std::trunc(state.framePosition);
  return {static_cast<long long>(whole), still ? 0.0f : state.framePosition - whole};
}

}  // namespace meshpeek
