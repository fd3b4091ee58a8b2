// fragdock_keys: asynchronous key and mouse-button state over SDL.
//
// Answers "is it held now?" and "was it pressed since I last asked?" for a key or a
// mouse button, the way a polling game loop wants it. Presses are recorded by an SDL
// event watch, so they are seen even when the application drains its event queue
// itself; a query clears the pressed bit of what it asked about.
//
// Use: call fragdock::keys::install() once SDL is initialised (again after a new
// SDL_Init, since SDL_Quit drops event watches), then query as often as needed.
// Queries pump SDL's events when the video subsystem is up, so the state is current
// even in a loop that does not poll. Single-threaded: call from the thread that owns
// SDL's video subsystem.
#pragma once

#include <SDL.h>

namespace fragdock::keys {

// Bits of a query result.
inline constexpr unsigned kHeld = 0x8000;    // down at the time of the query
inline constexpr unsigned kPressed = 0x0001;  // went down since the previous query of it

// Registers the event watch (replacing an earlier registration of it).
void install();
// Removes the event watch and forgets every recorded press.
void uninstall();

// State of the key at a physical position.
unsigned query_scancode(SDL_Scancode code);
// State of the key that produces a keycode in the current layout.
unsigned query_key(SDL_Keycode key);
// State of a mouse button (SDL_BUTTON_LEFT, SDL_BUTTON_MIDDLE, SDL_BUTTON_RIGHT, ...).
unsigned query_mouse(int button);

}  // namespace fragdock::keys
