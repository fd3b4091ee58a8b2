#include "keys.h"

#include <array>

namespace fragdock::keys {
namespace {

constexpr int kMouseButtons = 32;  // SDL's button mask holds 32 buttons

std::array<bool, SDL_NUM_SCANCODES> key_pressed{};
std::array<bool, kMouseButtons> mouse_pressed{};

int watch(void *, SDL_Event *event) {
  if (event->type == SDL_KEYDOWN && !event->key.repeat) {
    const int code = event->key.keysym.scancode;
    if (code > 0 && code < SDL_NUM_SCANCODES) key_pressed[code] = true;
  } else if (event->type == SDL_MOUSEBUTTONDOWN) {
    const int button = event->button.button;
    if (button > 0 && button <= kMouseButtons) mouse_pressed[button - 1] = true;
  }
  return 0;
}

// Moves pending window-system input into SDL so that the watch and the held state
// see it. Only the video subsystem has such input to pump.
void refresh() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_PumpEvents();
}

unsigned take(bool &pressed, bool held) {
  const unsigned bits = (held ? kHeld : 0u) | (pressed ? kPressed : 0u);
  pressed = false;
  return bits;
}

}  // namespace

void install() {
  SDL_DelEventWatch(watch, nullptr);
  SDL_AddEventWatch(watch, nullptr);
}

void uninstall() {
  SDL_DelEventWatch(watch, nullptr);
  key_pressed.fill(false);
  mouse_pressed.fill(false);
}

unsigned query_scancode(SDL_Scancode code) {
  if (code <= SDL_SCANCODE_UNKNOWN || code >= SDL_NUM_SCANCODES) return 0;
  refresh();
  int count = 0;
  const Uint8 *state = SDL_GetKeyboardState(&count);
  const bool held = state != nullptr && code < count && state[code] != 0;
  return take(key_pressed[code], held);
}

unsigned query_key(SDL_Keycode key) {
  return query_scancode(SDL_GetScancodeFromKey(key));
}

unsigned query_mouse(int button) {
  if (button < 1 || button > kMouseButtons) return 0;
  refresh();
  const bool held = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(button)) != 0;
  return take(mouse_pressed[button - 1], held);
}

}  // namespace fragdock::keys
