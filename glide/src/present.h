// Presenting frames into the application's window: the only drawing-side code
// that talks to SDL.
#pragma once

namespace glide {

// Builds the presenting block for a screen of the given height, freeing any
// earlier one first.
void open_presenting(int height);
// Frees the presenting block; a second call does nothing.
void close_presenting();
// Forgets key presses made before the screen opened, so they toggle nothing.
void drain_toggle_keys();

}  // namespace glide
