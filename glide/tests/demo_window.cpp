// A small program that shows glide presenting into a real SDL window: a turning,
// textured and depth-tested square over a textured floor, with the statistics text
// switched on. Usage: glide_demo_window [seconds]  (default 5). Space toggles the
// statistics, W the wireframe view, Escape or closing the window ends it.
#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "glide.h"
#include "sdl_keys.h"

namespace {

// A 256 x 256 texture of palette indices: a checkerboard of two colour ramps.
std::vector<std::uint8_t> make_texels() {
  std::vector<std::uint8_t> texels(256 * 256);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 256; ++x) {
      const bool dark = ((x / 32) + (y / 32)) % 2 == 0;
      texels[y * 256 + x] = static_cast<std::uint8_t>(dark ? x / 2 : 128 + y / 2);
    }
  }
  return texels;
}

void load_texture(std::vector<std::uint8_t> &texels) {
  std::uint32_t palette[256];
  for (std::uint32_t i = 0; i < 128; ++i) {
    palette[i] = (i * 2) << 16 | 40u << 8 | (255 - i * 2);       // blue to red
    palette[128 + i] = 20u << 16 | (i * 2) << 8 | 60u;            // dark to green
  }
  grTexDownloadTable(GR_TMU0, GR_TEXTABLE_PALETTE, palette);
  GrTexInfo info{GR_LOD_256, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_P_8, texels.data()};
  const FxU32 addr = grTexMinAddress(GR_TMU0);
  grTexDownloadMipMap(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
  grTexSource(GR_TMU0, addr, GR_MIPMAPLEVELMASK_BOTH, &info);
}

GrVertex corner(float x, float y, float oow, float s, float t) {
  GrVertex v{};
  v.x = x;
  v.y = y;
  v.oow = oow;
  v.tmuvtx[0].sow = s * oow;
  v.tmuvtx[0].tow = t * oow;
  v.tmuvtx[0].oow = oow;
  return v;
}

void quad(const GrVertex &a, const GrVertex &b, const GrVertex &c, const GrVertex &d) {
  const GrVertex fan[4] = {a, b, c, d};
  grDrawPlanarPolygonVertexList(4, fan);
}

void draw_frame(float angle) {
  grBufferClear(0x00202020, 0, 0);
  // The floor: far away, covering the screen.
  quad(corner(0, 0, 0.002f, 0, 0), corner(639.9f, 0, 0.002f, 255, 0),
       corner(639.9f, 479.9f, 0.002f, 255, 255), corner(0, 479.9f, 0.002f, 0, 255));
  // A square turning about the screen centre, nearer than the floor.
  const float c = std::cos(angle) * 150.0f, s = std::sin(angle) * 150.0f;
  const float cx = 320, cy = 240;
  quad(corner(cx - c + s, cy - s - c, 0.02f, 0, 0), corner(cx + c + s, cy + s - c, 0.02f, 255, 0),
       corner(cx + c - s, cy + s + c, 0.02f, 255, 255),
       corner(cx - c - s, cy - s + c, 0.02f, 0, 255));
}

}  // namespace

int main(int argc, char **argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window *window = SDL_CreateWindow("glide demo", 0, 0, 640, 480, SDL_WINDOW_SHOWN);
  if (window == nullptr) return 1;
  grGlideInit();
  if (!grSstOpen(GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB,
                 GR_ORIGIN_UPPER_LEFT, GR_SMOOTHING_ENABLE, 2)) {
    return 1;
  }
  std::vector<std::uint8_t> texels = make_texels();
  load_texture(texels);
  press(SDLK_SPACE);  // statistics on from the first swap
  const Uint64 end = SDL_GetTicks64() + static_cast<Uint64>(seconds * 1000);
  bool running = true;
  for (int frame = 0; running && SDL_GetTicks64() < end; ++frame) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_QUIT || (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE)) {
        running = false;
      }
    }
    draw_frame(static_cast<float>(frame) * 0.01f);
    grBufferSwap(1);
    SDL_Delay(15);
  }
  grGlideShutdown();
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
