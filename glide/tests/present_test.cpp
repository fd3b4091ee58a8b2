// Presenting into an SDL window, the W and Space toggles and the frame statistics,
// on SDL's dummy video driver (windows with in-memory surfaces).
#include <gtest/gtest.h>
#include <SDL.h>

#include <functional>
#include <vector>

#include "glide_test_util.h"
#include "sdl_keys.h"

using namespace glide_test;

namespace {

struct Rgb {
  int r, g, b;
};

class Present : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    open_screen();
  }
  void TearDown() override {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
  }

  void make_window(int w = 800, int h = 600) {
    window_ = SDL_CreateWindow("glide test", 0, 0, w, h, 0);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    SDL_Surface *s = SDL_GetWindowSurface(window_);
    ASSERT_NE(s, nullptr);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
  }

  Rgb shown(int x, int y) {
    SDL_Surface *s = SDL_GetWindowSurface(window_);
    const auto *row = static_cast<const Uint8 *>(s->pixels) + y * s->pitch;
    Uint32 value = 0;
    SDL_memcpy(&value, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return {r, g, b};
  }

  bool shows_red(int x, int y) {
    const Rgb c = shown(x, y);
    return c.r > 240 && c.g == 0 && c.b == 0;
  }

  bool shows_white(int x, int y) {
    const Rgb c = shown(x, y);
    return c.r > 240 && c.g > 240 && c.b > 240;
  }

  SDL_Window *window_ = nullptr;
};

bool wireframe_on() {
  grBufferClear(0, 0, 0);
  const GrVertex a = vertex(0, 0), b = vertex(20, 0), c = vertex(0, 20);
  grDrawTriangle(&a, &b, &c);
  const bool outline_only = pixel(4, 4) == 0;
  grBufferClear(0, 0, 0);
  return outline_only;
}

TEST_F(Present, SwapShowsTheScreenAtTheWindowOrigin) {
  make_window();
  grBufferClear(0x00FF0000, 0, 0);
  grBufferSwap(1);
  EXPECT_TRUE(shows_red(5, 100));
  EXPECT_TRUE(shows_red(639, 479));
  EXPECT_FALSE(shows_red(640, 5));  // the cleared row beyond the width is not shown
  EXPECT_FALSE(shows_red(5, 480));
  EXPECT_EQ(pixel(5, 5), 0xF800);   // the buffer is left as it was
}

// The wireframe flag and the statistics survive grSstOpen, so the tests read the
// state they start from instead of assuming it.
void set_wireframe(bool on) {
  if (wireframe_on() != on) {
    press(SDLK_w);
    grBufferSwap(1);
  }
}

TEST_F(Present, WTogglesWireframeAtTheNextSwap) {
  set_wireframe(false);
  press(SDLK_w);
  EXPECT_FALSE(wireframe_on());  // only a swap reads the keys
  grBufferSwap(1);
  EXPECT_TRUE(wireframe_on());
  grBufferSwap(1);
  EXPECT_TRUE(wireframe_on());  // one press, one toggle
  press(SDLK_w);
  grBufferSwap(1);
  EXPECT_FALSE(wireframe_on());
}

TEST_F(Present, OpenForgetsEarlierPresses) {
  const bool before = wireframe_on();
  press(SDLK_w);
  open_screen();
  grBufferSwap(1);
  EXPECT_EQ(wireframe_on(), before);
}

TEST_F(Present, WireframeDrawsRoundedOutlinesWithoutAreaTestOrCulling) {
  set_wireframe(true);
  grCullMode(GR_CULL_POSITIVE);  // would drop this negative-area triangle when filled
  const GrVertex a = vertex(0, 0), b = vertex(10.5f, 0), c = vertex(0, 11.5f);
  grDrawTriangle(&a, &b, &c);
  grCullMode(GR_CULL_DISABLE);
  EXPECT_EQ(pixel(10, 0), 0xFFFF);  // 10.5 rounds to 10
  EXPECT_EQ(pixel(11, 0), 0);
  EXPECT_EQ(pixel(0, 12), 0xFFFF);  // 11.5 rounds to 12
  EXPECT_EQ(pixel(0, 13), 0);
  EXPECT_EQ(pixel(3, 3), 0);        // not filled
  const GrVertex s1 = vertex(30, 30), s2 = vertex(32, 30), s3 = vertex(30, 32);
  grDrawTriangle(&s1, &s2, &s3);  // area 4: dropped when filled, outlined here
  EXPECT_EQ(pixel(32, 30), 0xFFFF);
  set_wireframe(false);
}

// Swaps until the statistics are on and a group of 32 frames has just been measured,
// so that the next swap is the first of a new group.
void start_statistics_group(const std::function<bool()> &text_shown) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    bool any_text = false;
    for (int swap = 0; swap < 33; ++swap) {
      grBufferSwap(1);
      const bool text = text_shown();
      if (any_text && !text) return;
      any_text = any_text || text;
    }
    press(SDLK_SPACE);
  }
  FAIL() << "the statistics text never appeared";
}

TEST_F(Present, StatisticsTextOnEverySwapButTheMeasuringOne) {
  make_window();
  grBufferClear(0x00FF0000, 0, 0);
  start_statistics_group([this] { return shows_white(0, 0); });
  std::vector<int> without_text;
  for (int swap = 1; swap <= 40; ++swap) {
    grBufferSwap(1);
    if (!shows_white(0, 0)) without_text.push_back(swap);
    EXPECT_TRUE(shows_red(5, 100));  // the text covers only the top left
  }
  EXPECT_EQ(without_text, std::vector<int>{32});
}

TEST_F(Present, PresentingOffNeitherShowsNorCountsNorReadsKeys) {
  make_window();
  grBufferClear(0x00FF0000, 0, 0);
  start_statistics_group([this] { return shows_white(0, 0); });
  const bool wireframe_before = wireframe_on();
  SDL_FillRect(SDL_GetWindowSurface(window_), nullptr, 0);
  press(SDLK_w);
  grSstPassthruMode(GR_PASSTHRU_SHOW_VGA);
  for (int i = 0; i < 50; ++i) grBufferSwap(1);
  EXPECT_FALSE(shows_red(5, 100));
  EXPECT_EQ(wireframe_on(), wireframe_before);  // the W press is still pending
  grSstPassthruMode(GR_PASSTHRU_SHOW_SST1);
  std::vector<int> without_text;
  for (int swap = 1; swap <= 33; ++swap) {
    grBufferSwap(1);
    if (!shows_white(0, 0)) without_text.push_back(swap);
  }
  EXPECT_EQ(without_text, std::vector<int>{32});  // the 50 swaps were not counted
  EXPECT_NE(wireframe_on(), wireframe_before);
  set_wireframe(false);
}

TEST_F(Present, ReopeningAndClosingReleaseThePresentingBlockOnce) {
  make_window();
  open_screen();
  open_screen();
  grSstWinClose();
  grSstWinClose();
  grGlideShutdown();
  grBufferClear(0x00FF0000, 0, 0);
  grBufferSwap(1);  // no block: nothing is shown, nothing fails
  EXPECT_FALSE(shows_red(5, 100));
  open_screen();
  grBufferClear(0x00FF0000, 0, 0);
  grBufferSwap(1);
  EXPECT_TRUE(shows_red(5, 100));
}

}  // namespace
