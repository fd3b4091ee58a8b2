// Random and hostile vertices thrown at every drawing call, in filled and wireframe
// mode, with random texture sources and cull modes. Run under AddressSanitizer and
// UndefinedBehaviorSanitizer by the sanitizer build; here it also checks that nothing
// lands outside the screen.
#include <gtest/gtest.h>
#include <SDL.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "glide_test_util.h"

using namespace glide_test;

namespace {

class Hostile {
 public:
  explicit Hostile(unsigned seed) : rng_(seed) {}

  float coordinate() {
    static const float kSpecial[] = {
        std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::infinity(),  -std::numeric_limits<float>::infinity(),
        std::numeric_limits<float>::max(),       -std::numeric_limits<float>::max(),
        std::numeric_limits<float>::denorm_min(), -0.0f, 0.0f, 639.999f, 640.0f, 479.5f,
        16383.0f, 16384.0f, -16384.0f, 32767.0f, 65536.0f, 2147483648.0f, -2147483648.0f, 1e20f};
    switch (pick(4)) {
      case 0: return kSpecial[pick(std::size(kSpecial))];
      case 1: return uniform(-20000.0f, 20000.0f);
      default: return uniform(-50.0f, 700.0f);
    }
  }

  float oow() {
    static const float kSpecial[] = {0.0f, -0.0f, 1e-30f, -1.0f, 1.0f, 100.0f,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::infinity()};
    return pick(5) == 0 ? kSpecial[pick(std::size(kSpecial))] : uniform(0.0001f, 0.05f);
  }

  GrVertex vertex() {
    GrVertex v{};
    v.x = coordinate();
    v.y = coordinate();
    v.oow = oow();
    v.tmuvtx[0].sow = pick(6) == 0 ? coordinate() * 1e6f : uniform(-2.0f, 5.0f);
    v.tmuvtx[0].tow = pick(6) == 0 ? coordinate() * 1e6f : uniform(-2.0f, 5.0f);
    return v;
  }

  void texture_source() {
    GrTexInfo info{0, static_cast<GrLOD_t>(pick(11)) - 1, static_cast<GrAspectRatio_t>(pick(9)) - 1,
                   GR_TEXFMT_P_8, nullptr};
    const FxU32 addresses[] = {0, 0x1FFFFF, 0x200000, 0xFFFFFFFFu, 0x80000000u,
                               static_cast<FxU32>(pick(0x200000))};
    grTexSource(GR_TMU0, addresses[pick(std::size(addresses))], GR_MIPMAPLEVELMASK_BOTH, &info);
  }

  std::size_t pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  }

 private:
  float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
  std::mt19937 rng_;
};

void draw_everything(Hostile &h) {
  GrVertex v[6];
  for (GrVertex &x : v) x = h.vertex();
  grCullMode(static_cast<GrCullMode_t>(h.pick(3)));
  if (h.pick(8) == 0) h.texture_source();
  grDrawTriangle(&v[0], &v[1], &v[2]);
  guDrawTriangleWithClip(&v[3], &v[4], &v[5]);
  grDrawLine(&v[0], &v[3]);
  grDrawPoint(&v[4]);
  const int order[6] = {5, 4, 3, 2, 1, 0};
  grDrawPlanarPolygon(static_cast<int>(h.pick(8)) - 1, order, v);
  grDrawPlanarPolygonVertexList(static_cast<int>(h.pick(8)) - 1, v);
}

TEST(HostileInput, EveryDrawingCallStaysInsideTheScreen) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  open_screen();
  std::vector<std::uint8_t> texels(65536);
  for (std::size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<std::uint8_t>(i * 31);
  use_texture(GR_LOD_256, GR_ASPECT_1x1, texels);
  Hostile h(20240611);
  for (int wireframe = 0; wireframe < 2; ++wireframe) {
    for (int i = 0; i < 10000; ++i) {
      draw_everything(h);
      if (i % 500 == 0) grBufferClear(0, 0, 0);
    }
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_w;
    e.key.keysym.scancode = SDL_SCANCODE_W;
    SDL_PushEvent(&e);
    grBufferSwap(0);  // toggles the wireframe view for the second round
  }
  EXPECT_EQ(lit_in_rect(640, 0, 384, 1024), 0);
  EXPECT_EQ(lit_in_rect(0, 480, 640, 544), 0);
  SDL_Quit();
}

}  // namespace
