// The mouse sample over a few frames: button edges, double clicks that arrived between frames,
// cursor motion and the wheel total.
#include <gtest/gtest.h>

#include "input/mouse_state.h"

namespace {

using vela::input::Mouse;
using vela::input::MouseButton;

constexpr int kLeft = 0, kRight = 1, kMiddle = 2;

TEST(MouseState, ButtonStatesFollowTheDownFlagsOfTwoFrames) {
  Mouse mouse;
  mouse.Sample({true, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonPressed);
  mouse.Sample({true, false, true}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonHeld);
  EXPECT_EQ(mouse.State().buttons[kMiddle].state, vela::input::kButtonPressed);
  mouse.Sample({false, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonReleased);
  EXPECT_EQ(mouse.State().buttons[kRight].state, vela::input::kButtonUp);
  mouse.Sample({false, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonUp);
}

TEST(MouseState, DoubleClicksLastOneFrame) {
  Mouse mouse;
  mouse.NoteDoubleClick(MouseButton::kRight);
  mouse.NoteDoubleClick(MouseButton::kMiddle);
  mouse.Sample({false, false, false}, 0, 0);
  EXPECT_FALSE(mouse.State().buttons[kLeft].doubleClicked);
  EXPECT_TRUE(mouse.State().buttons[kRight].doubleClicked);
  EXPECT_TRUE(mouse.State().buttons[kMiddle].doubleClicked);
  mouse.Sample({false, false, false}, 0, 0);
  EXPECT_FALSE(mouse.State().buttons[kRight].doubleClicked);
}

TEST(MouseState, CursorMotionAndWheelTotal) {
  Mouse mouse;
  mouse.Sample({}, 100, 50);
  mouse.Sample({}, 90, 70);
  EXPECT_EQ(mouse.State().x, 90);
  EXPECT_EQ(mouse.State().motionX, -10);
  EXPECT_EQ(mouse.State().motionY, 20);
  mouse.AddWheelDelta(120);
  mouse.AddWheelDelta(-360);
  EXPECT_EQ(mouse.State().wheelTotal, -240);
  mouse.Sample({}, 90, 70);
  EXPECT_EQ(mouse.State().wheelTotal, -240) << "the total is kept across frames";
  EXPECT_EQ(mouse.State().motionX, 0);
}

}  // namespace
