#include "meshpeek/state.h"

#include <gtest/gtest.h>

#include "meshpeek/draw.h"

using meshpeek::FrameInput;
using meshpeek::ViewerState;

namespace {

FrameInput enter() {
  FrameInput in;
  in.enterPressed = true;
  return in;
}

}  // namespace

TEST(FrameUpdate, DefaultSpeedReachesTheNextFrameAfterEightFrames) {
  ViewerState s;
  for (int i = 0; i < 7; ++i) meshpeek::updateState(s, {}, 0);
  EXPECT_LT(s.framePosition, 1.0f);
  meshpeek::updateState(s, {}, 0);
  EXPECT_EQ(s.framePosition, 1.0f);
  EXPECT_EQ(meshpeek::frameToDraw(s, false).frame, 1);
}

TEST(FrameUpdate, FreezeKeyStopsTheAnimation) {
  ViewerState s;
  FrameInput in;
  in.freeze = true;
  meshpeek::updateState(s, in, 0);
  EXPECT_EQ(s.framePosition, 0.0f);
}

TEST(FrameUpdate, MorphTakesFiftyOneFramesEachWayAndHoldsTheAnimation) {
  ViewerState s;
  meshpeek::updateState(s, enter(), 0);  // the switch flips after this frame's morph step
  const float frameAtStart = s.framePosition;
  for (int i = 1; i <= 50; ++i) {
    meshpeek::updateState(s, {}, 0);
    EXPECT_LT(s.morph, 1.0f) << "frame " << i;
  }
  meshpeek::updateState(s, {}, 0);
  EXPECT_EQ(s.morph, 1.0f);
  // The first morph frame still animated (the amount was 0 when it ran); none after.
  EXPECT_EQ(s.framePosition, frameAtStart + 0.125f);

  meshpeek::updateState(s, enter(), 0);
  const float held = s.framePosition;
  for (int i = 1; i <= 51; ++i) {
    meshpeek::updateState(s, {}, 0);
    EXPECT_EQ(s.framePosition, held) << "frame " << i;
    if (i < 51) {
      EXPECT_GT(s.morph, 0.0f) << "frame " << i;
    }
  }
  EXPECT_EQ(s.morph, 0.0f);
  meshpeek::updateState(s, {}, 0);
  EXPECT_EQ(s.framePosition, held + 0.125f);
}

TEST(FrameUpdate, SkinKeysPickWrapAndClampToTheList) {
  const struct {
    int count, from;
    bool tab, shift;
    int digit, expected;
    bool loads;
  } rows[] = {
      {5, 0, false, false, 9, 4, true}, {5, 0, false, false, 0, 4, true}, {5, 2, false, false, 1, 0, true},
      {5, 0, true, true, -1, 4, true},  {5, 4, true, false, -1, 0, true}, {5, 1, true, false, -1, 2, true},
      {12, 0, false, false, 0, 9, true}, {0, 0, true, false, 3, 0, false}, {5, 3, false, false, -1, 3, false},
      {5, 0, true, false, 5, 4, true},  // Tab then a digit in the same frame: the digit wins
  };
  for (const auto& row : rows) {
    ViewerState s;
    s.skin = row.from;
    FrameInput in;
    in.tabPressed = row.tab;
    in.shift = row.shift;
    in.digitPressed = row.digit;
    const auto actions = meshpeek::updateState(s, in, row.count);
    EXPECT_EQ(s.skin, row.expected) << row.count << " " << row.from << " " << row.digit;
    EXPECT_EQ(actions.loadSkin, row.loads) << row.count << " " << row.from << " " << row.digit;
  }
}

TEST(FrameUpdate, HeldKeysAndMouseMoveTurnAndZoom) {
  ViewerState s;
  FrameInput in;
  in.up = in.left = in.a = in.mouseLeft = in.padPlus = true;
  in.mouseDx = 5;
  in.mouseDy = -3;
  auto actions = meshpeek::updateState(s, in, 0);
  EXPECT_EQ(s.centreX, 319);
  EXPECT_EQ(s.centreY, 269);
  EXPECT_EQ(s.distance, 98.0f);
  EXPECT_EQ(s.speed, 0.125f + 0.001f);
  EXPECT_EQ(s.rotationH, -3.0f);
  EXPECT_EQ(s.rotationV, -5.0f);
  EXPECT_FALSE(actions.quit);

  FrameInput other;
  other.down = other.right = other.z = other.mouseRight = other.padMinus = other.escape = true;
  other.screenshotPressed = true;
  actions = meshpeek::updateState(s, other, 0);
  EXPECT_EQ(s.centreX, 320);
  EXPECT_EQ(s.centreY, 270);
  EXPECT_EQ(s.distance, 100.0f);
  EXPECT_TRUE(actions.quit);
  EXPECT_TRUE(actions.screenshot);
}

TEST(FrameUpdate, SlowingPastZeroRunsBackwardAndWrapsToTheEnd) {
  ViewerState s;
  FrameInput in;
  in.padMinus = true;
  for (int i = 0; i < 126; ++i) meshpeek::updateState(s, in, 0);
  EXPECT_LT(s.speed, 0.0f);
  const float before = s.framePosition;
  for (int i = 0; i < 400; ++i) meshpeek::updateState(s, in, 0);
  EXPECT_LT(s.framePosition, before);
  EXPECT_LT(s.framePosition, 0.0f);
  const auto f = meshpeek::frameToDraw(s, false);
  EXPECT_LT(f.frame, 0);
  EXPECT_EQ(meshpeek::wrapFrame(-1, 12), 11);
  EXPECT_EQ(meshpeek::wrapFrame(-12, 12), 0);
  EXPECT_EQ(meshpeek::wrapFrame(25, 12), 1);
}

TEST(FrameUpdate, StillKeyDrawsWholeFrames) {
  ViewerState s;
  s.framePosition = 2.75f;
  EXPECT_EQ(meshpeek::frameToDraw(s, false).fraction, 0.75f);
  EXPECT_EQ(meshpeek::frameToDraw(s, true).fraction, 0.0f);
  EXPECT_EQ(meshpeek::frameToDraw(s, true).frame, 2);
}
