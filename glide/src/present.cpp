// Presenting: the finished frame goes into the application's active SDL window,
// unscaled at its top left, with the frames-per-second text on top when the
// statistics are on. With no video subsystem or no window nothing is shown, and
// the key toggles and the statistics still run.
#include "present.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>

#include "device.h"
#include "font.h"
#include "keys.h"

namespace glide {
namespace {

constexpr int kTextScale = 2;
constexpr int kTextHeight = kGlyphHeight * kTextScale;
constexpr int kFramesPerMeasure = 32;
constexpr Uint32 kWindowIdScan = 64;  // SDL numbers windows from 1 upward

// The presenting block: the colour buffer seen as an SDL image of the screen's rows,
// and the image the statistics text is drawn into.
SDL_Surface *frame_image = nullptr;
SDL_Surface *text_image = nullptr;
std::uint16_t text_pixels[kTextHeight * kBufferSide];

void free_surface(SDL_Surface *&s) {
  SDL_FreeSurface(s);  // accepts null
  s = nullptr;
}

SDL_Surface *wrap_565(void *pixels, int width, int height) {
  return SDL_CreateRGBSurfaceWithFormatFrom(pixels, width, height, 16, kBufferSide * 2,
                                            SDL_PIXELFORMAT_RGB565);
}

// The window with keyboard focus, else the newest window of the process.
SDL_Window *active_window() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return nullptr;
  if (SDL_Window *focus = SDL_GetKeyboardFocus()) return focus;
  for (Uint32 id = kWindowIdScan; id > 0; --id) {
    if (SDL_Window *w = SDL_GetWindowFromID(id)) return w;
  }
  return nullptr;
}

// A wall clock in milliseconds that never reads 0, since 0 means "not started".
std::int64_t now_ms() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return ms != 0 ? ms : 1;
}

// Counts a frame. Every 32nd frame measures the rate and starts a new group; that
// frame shows no text. Returns whether the text may be drawn on this frame.
bool count_frame() {
  if (dev.stats_start_ms == 0) dev.stats_start_ms = now_ms();
  if (++dev.stats_frames % kFramesPerMeasure != 0) return true;
  const double seconds = static_cast<double>(now_ms() - dev.stats_start_ms) * 0.001;
  dev.fps = static_cast<float>(dev.stats_frames / seconds);
  dev.stats_start_ms = 0;
  dev.stats_frames = 0;
  return false;
}

// Black on white, like text on a fresh device context.
void draw_fps(SDL_Surface *target) {
  if (text_image == nullptr) return;
  char text[96];
  std::snprintf(text, sizeof text, "fps: %f", static_cast<double>(dev.fps));
  const int width =
      draw_text(text_pixels, kBufferSide, target->w, kTextScale, text, 0x0000, 0xFFFF);
  const SDL_Rect from{0, 0, width, kTextHeight};
  SDL_Rect to = from;
  SDL_BlitSurface(text_image, &from, target, &to);
}

void toggle_from_keys() {
  using namespace fragdock::keys;
  if ((query_key(SDLK_w) & kPressed) != 0) dev.wireframe = !dev.wireframe;
  if ((query_key(SDLK_SPACE) & kPressed) != 0) dev.statistics = !dev.statistics;
}

}  // namespace

void open_presenting(int height) {
  close_presenting();  // a new screen replaces the old block instead of leaking it
  frame_image = wrap_565(dev.color, kBufferSide, height);
  text_image = wrap_565(text_pixels, kBufferSide, kTextHeight);
}

void close_presenting() {
  free_surface(frame_image);
  free_surface(text_image);
}

void drain_toggle_keys() {
  using namespace fragdock::keys;
  install();
  // A query clears the pressed bit; repeat until it reads clear, within reason.
  for (int i = 0; i < 16 && (query_key(SDLK_w) & kPressed) != 0; ++i) {
  }
  for (int i = 0; i < 16 && (query_key(SDLK_SPACE) & kPressed) != 0; ++i) {
  }
}

}  // namespace glide

using namespace glide;

extern "C" {

FX_ENTRY void FX_CALL grBufferSwap(int) {
  if (!dev.presenting) return;
  toggle_from_keys();
  SDL_Window *window = active_window();
  SDL_Surface *target = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
  if (target != nullptr && frame_image != nullptr) {
    const SDL_Rect from{0, 0, dev.width, dev.height};
    SDL_Rect to = from;
    SDL_BlitSurface(frame_image, &from, target, &to);
  }
  if (count_frame() && dev.statistics && target != nullptr) draw_fps(target);
  if (target != nullptr) SDL_UpdateWindowSurface(window);
}

}  // extern "C"
