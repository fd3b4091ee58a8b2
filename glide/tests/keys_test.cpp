// The key layer: presses are remembered until queried, per key and per button.
#include <gtest/gtest.h>
#include <SDL.h>

#include "keys.h"

namespace {

using namespace fragdock::keys;

class Keys : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    install();
  }
  void TearDown() override {
    uninstall();
    SDL_Quit();
  }
};

void key_down(SDL_Scancode code, bool repeat = false) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.state = SDL_PRESSED;
  e.key.repeat = repeat ? 1 : 0;
  e.key.keysym.scancode = code;
  e.key.keysym.sym = SDL_GetKeyFromScancode(code);
  SDL_PushEvent(&e);
}

void button_down(Uint8 button) {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = button;
  e.button.state = SDL_PRESSED;
  SDL_PushEvent(&e);
}

TEST_F(Keys, PressIsReportedOnceAndOnlyForItsKey) {
  key_down(SDL_SCANCODE_W);
  EXPECT_EQ(query_scancode(SDL_SCANCODE_SPACE) & kPressed, 0u);
  EXPECT_EQ(query_key(SDLK_w) & kPressed, kPressed);
  EXPECT_EQ(query_key(SDLK_w) & kPressed, 0u);
  key_down(SDL_SCANCODE_SPACE);
  key_down(SDL_SCANCODE_SPACE);  // two presses before a query read as one
  EXPECT_EQ(query_scancode(SDL_SCANCODE_SPACE), kPressed);
  EXPECT_EQ(query_scancode(SDL_SCANCODE_SPACE), 0u);
}

TEST_F(Keys, MouseButtonsHaveTheirOwnBits) {
  button_down(SDL_BUTTON_RIGHT);
  EXPECT_EQ(query_mouse(SDL_BUTTON_LEFT) & kPressed, 0u);
  EXPECT_EQ(query_mouse(SDL_BUTTON_RIGHT) & kPressed, kPressed);
  EXPECT_EQ(query_mouse(SDL_BUTTON_RIGHT) & kPressed, 0u);
}

TEST_F(Keys, UninstallForgetsAndStopsRecording) {
  key_down(SDL_SCANCODE_W);
  uninstall();
  EXPECT_EQ(query_scancode(SDL_SCANCODE_W), 0u);
  key_down(SDL_SCANCODE_W);
  EXPECT_EQ(query_scancode(SDL_SCANCODE_W), 0u);
}

}  // namespace
