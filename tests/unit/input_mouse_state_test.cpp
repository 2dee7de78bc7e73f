// The mouse sample over a few frames: button edges, double clicks that arrived between frames,
// cursor motion and the wheel total.
#include <gtest/gtest.h>

#include "input/mouse_state.h"

namespace {

using vela::input::Mouse;
using vela::input::MouseButton;

constexpr int kLeft = 0, kRight = 1, kMiddle = 2;

TEST(MouseState, ButtonStatesFollowTheDownFlagsOfTwoFramesAndDoubleClicksLastOne) {
  Mouse mouse;
  mouse.NoteDoubleClick(MouseButton::kRight);
  mouse.Sample({true, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonPressed);
  EXPECT_TRUE(mouse.State().buttons[kRight].doubleClicked);
  EXPECT_FALSE(mouse.State().buttons[kMiddle].doubleClicked);
  mouse.Sample({true, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonHeld);
  EXPECT_FALSE(mouse.State().buttons[kRight].doubleClicked);
  mouse.Sample({false, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonReleased);
  mouse.Sample({false, false, false}, 0, 0);
  EXPECT_EQ(mouse.State().buttons[kLeft].state, vela::input::kButtonUp);
}

TEST(MouseState, CursorMotionAndWheelTotal) {
  Mouse mouse;
  mouse.Sample({}, 100, 50);
  mouse.Sample({}, 90, 70);
  EXPECT_EQ(mouse.State().motionX, -10);
  EXPECT_EQ(mouse.State().motionY, 20);
  mouse.AddWheelDelta(120);
  mouse.AddWheelDelta(-360);
  mouse.Sample({}, 90, 70);
  EXPECT_EQ(mouse.State().wheelTotal, -240) << "the total is kept across frames";
  EXPECT_EQ(mouse.State().motionX, 0);
}

}  // namespace
