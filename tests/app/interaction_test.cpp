#include <gtest/gtest.h>

#include "app/interaction.h"

namespace {

constexpr bool kDown = true;
constexpr bool kUp = false;

TEST(Keys, QuitToggleOrNothing) {
  RenderContext context;
  EXPECT_EQ(applyKey(context, 27), KeyEffect::Quit);
  EXPECT_EQ(applyKey(context, 'q'), KeyEffect::Quit);
  EXPECT_EQ(applyKey(context, 'g'), KeyEffect::Redraw);
  EXPECT_FALSE(context.useOpenGL);
  EXPECT_EQ(applyKey(context, 'g'), KeyEffect::Redraw);
  EXPECT_TRUE(context.useOpenGL) << "two presses return to the renderer before";
  EXPECT_EQ(applyKey(context, 'a'), KeyEffect::Redraw);
  EXPECT_FALSE(context.useMipmaps);
  for (unsigned char key : {'A', 'G', 'Q', 'x', ' ', '\r'}) {
    EXPECT_EQ(applyKey(context, key), KeyEffect::Nothing) << int(key);
  }
  EXPECT_TRUE(context.useOpenGL);
  EXPECT_FALSE(context.useMipmaps);
}

TEST(Mouse, ButtonsSetTheirFlagsAndTheWheelZoomsOnPressAndRelease) {
  InteractionState state;
  applyMouseButton(state, 0, kDown, 10, 20);
  EXPECT_TRUE(state.leftDown);
  applyMouseButton(state, 2, kDown, 10, 20);
  EXPECT_TRUE(state.rightDown);
  applyMouseButton(state, 0, kUp, 10, 20);
  EXPECT_FALSE(state.leftDown);
  // A wheel step arrives as a press and a release: two units, half a scene unit.
  applyMouseButton(state, 3, kDown, 0, 0);
  applyMouseButton(state, 3, kUp, 0, 0);
  EXPECT_EQ(state.pose.zoom, 2.25f);
  applyMouseButton(state, 4, kDown, 0, 0);
  EXPECT_EQ(state.pose.zoom, 1.25f);
}

TEST(Mouse, OtherButtonsOnlyRecordThePosition) {
  InteractionState state;
  for (int button : {1, 5, 7})
    applyMouseButton(state, button, kDown, 33, 44);
  EXPECT_FALSE(state.leftDown);
  EXPECT_FALSE(state.rightDown);
  EXPECT_EQ(state.pose.zoom, 0.25f);
  EXPECT_EQ(state.lastMouseX, 33);
  EXPECT_EQ(state.lastMouseY, 44);
}

TEST(Motion, LeftRotatesRightPansBothDoBoth) {
  InteractionState state;
  applyMouseButton(state, 0, kDown, 100, 100);
  applyMotion(state, 110, 95);
  EXPECT_EQ(state.pose.rotationZ, -125.0f);
  EXPECT_EQ(state.pose.rotationX, -65.0f);
  applyMouseButton(state, 2, kDown, 110, 95);
  applyMotion(state, 100, 100);
  EXPECT_EQ(state.pose.rotationZ, -135.0f);
  EXPECT_EQ(state.pose.panX, -10.0f);
  EXPECT_EQ(state.pose.panY, 5.0f);
}

TEST(Motion, FirstDeltaAfterAWheelEventStartsAtTheWheelPosition) {
  InteractionState state;
  applyMouseButton(state, 0, kDown, 0, 0);
  applyMouseButton(state, 3, kDown, 50, 50);
  applyMotion(state, 53, 50);
  EXPECT_EQ(state.pose.rotationZ, -132.0f);
}

TEST(Motion, MiddleDragOnlyMovesTheLastPosition) {
  InteractionState state;
  applyMouseButton(state, 1, kDown, 5, 5);
  applyMotion(state, 50, 60);
  EXPECT_EQ(state.pose.rotationZ, -135.0f);
  EXPECT_EQ(state.pose.panX, 0.0f);
  EXPECT_EQ(state.lastMouseX, 50);
  EXPECT_EQ(state.lastMouseY, 60);
}

}  // namespace
