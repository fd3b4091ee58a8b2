// The viewer's state from one displayed frame to the next, and the pure
// update that the frame loop runs after each swap. All arithmetic is single
// precision: the animation and morph steps are meant to land where float
// sums of 0.125 and 0.02 land.
#pragma once

#include <cstdint>

namespace meshpeek {

struct ViewerState {
  float rotationH = 0;  // about the screen's horizontal axis, degrees
  float rotationV = 0;  // about the screen's vertical axis, degrees
  float distance = 100.0f;
  float speed = 0.125f;  // frames per displayed frame
  float framePosition = 0;
  float morph = 0;  // 0 model view .. 1 flat skin layout
  bool morphOn = false;
  int centreX = 320;
  int centreY = 270;
  int skin = 0;
};

// What the keyboard and mouse said during one frame. Held keys are "down
// now"; pressed keys went down since they were last asked about.
struct FrameInput {
  bool up = false, down = false, left = false, right = false;
  bool a = false, z = false, escape = false;
  bool padPlus = false, padMinus = false;
  bool mouseLeft = false, mouseRight = false;
  bool freeze = false;  // F held: the animation stands still
  bool shift = false;
  int mouseDx = 0, mouseDy = 0;  // cursor minus reference point, pixels
  bool enterPressed = false, screenshotPressed = false, tabPressed = false;
  int digitPressed = -1;  // the first of 0..9 pressed, in that order
};

struct FrameActions {
  bool quit = false;
  bool screenshot = false;
  bool loadSkin = false;  // load ViewerState::skin
};

// Everything after the swap: held keys, mouse, animation, morph, pressed keys
// and skin choice, in that order.
FrameActions updateState(ViewerState& state, const FrameInput& input, int skinCount);

struct FrameToDraw {
  long long frame = 0;
  float fraction = 0;
};

// frame = trunc(position); the fraction blends toward the next frame unless
// I is held (`still`), which shows whole frames.
FrameToDraw frameToDraw(const ViewerState& state, bool still);

}  // namespace meshpeek
