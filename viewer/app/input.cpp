#include "input.h"

#include <SDL.h>

#include <initializer_list>

#include "keys.h"

namespace meshpeek {

namespace {

namespace keys = fragdock::keys;

bool held(SDL_Scancode code) { return (keys::query_scancode(code) & keys::kHeld) != 0; }
bool pressed(SDL_Scancode code) { return (keys::query_scancode(code) & keys::kPressed) != 0; }
bool mouseHeld(int button) { return (keys::query_mouse(button) & keys::kHeld) != 0; }

// The digit keys in the order they are examined: 0 first, then 1 to 9.
SDL_Scancode digitKey(int digit) {
  return digit == 0 ? SDL_SCANCODE_0 : static_cast<SDL_Scancode>(SDL_SCANCODE_1 + digit - 1);
}

void readHeldKeys(FrameInput& in) {
  in.up = held(SDL_SCANCODE_UP);
  in.down = held(SDL_SCANCODE_DOWN);
  in.left = held(SDL_SCANCODE_LEFT);
  in.right = held(SDL_SCANCODE_RIGHT);
  in.a = held(SDL_SCANCODE_A);
  in.z = held(SDL_SCANCODE_Z);
  in.escape = held(SDL_SCANCODE_ESCAPE);
  in.padPlus = held(SDL_SCANCODE_KP_PLUS);
  in.padMinus = held(SDL_SCANCODE_KP_MINUS);
  in.mouseLeft = mouseHeld(SDL_BUTTON_LEFT);
  in.mouseRight = mouseHeld(SDL_BUTTON_RIGHT);
}

void readMouse(const MouseReference& reference, FrameInput& in) {
  int x = 0, y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  in.mouseDx = x - reference.x;
  in.mouseDy = y - reference.y;
  centreMouse(reference);
}

void readSkinKeys(FrameInput& in) {
  in.tabPressed = pressed(SDL_SCANCODE_TAB);
  in.shift = held(SDL_SCANCODE_LSHIFT) || held(SDL_SCANCODE_RSHIFT);
  for (int digit = 0; digit <= 9 && in.digitPressed < 0; ++digit) {
    if (pressed(digitKey(digit))) in.digitPressed = digit;
  }
}

}  // namespace

void centreMouse(const MouseReference& reference) { SDL_WarpMouseGlobal(reference.x, reference.y); }

void forgetEarlierPresses() {
  for (SDL_Scancode code : {SDL_SCANCODE_S, SDL_SCANCODE_RETURN, SDL_SCANCODE_TAB}) pressed(code);
  for (int digit = 0; digit <= 9; ++digit) pressed(digitKey(digit));
}

bool stillHeld() { return held(SDL_SCANCODE_I); }

FrameInput readFrameInput(const MouseReference& reference, int skinCount) {
  FrameInput in;
  readHeldKeys(in);
  readMouse(reference, in);
  in.freeze = held(SDL_SCANCODE_F);
  in.enterPressed = pressed(SDL_SCANCODE_RETURN);
  in.screenshotPressed = pressed(SDL_SCANCODE_S);
  if (skinCount != 0) readSkinKeys(in);
  return in;
}

}  // namespace meshpeek
