// The key table and the key buffer walk, on event lists like those DirectInput hands over, and the
// mouse sample over a few frames: button edges, double clicks between frames, motion and the wheel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "input/key_buffer.h"
#include "input/key_table.h"
#include "input/mouse_state.h"

namespace {

using vela::input::KeyBuffer;
using vela::input::KeyEvent;
using vela::input::KeyTable;
using vela::input::Mouse;
using vela::input::MouseButton;

constexpr std::uint32_t kA = 0x1E;  // DIK_A
constexpr std::uint32_t kB = 0x30;  // DIK_B

struct Taken {
  bool answer;
  std::int32_t key;
  bool operator==(const Taken&) const = default;
};

std::vector<Taken> TakeAll(KeyBuffer& buffer, int calls) {
  std::vector<Taken> taken;
  for (int call = 0; call < calls; ++call) {
    std::int32_t key = -1;
    const bool answer = buffer.Next(key);
    taken.push_back({answer, key});
  }
  return taken;
}

TEST(KeyBuffer, PressesAnswerTheirKeyReleasesAndTheEndAnswerFalseWithZero) {
  KeyBuffer buffer;
  // Only bit 7 of the data marks a press.
  const KeyEvent events[] = {{kA, 0x80}, {kA, 0x00}, {kB, 0xFF}, {kB, 0x7F}, {kA, 0x180}};
  buffer.Fill(events);
  EXPECT_EQ(TakeAll(buffer, 6),
            (std::vector<Taken>{{true, kA}, {false, 0}, {true, kB}, {false, 0}, {true, kA}, {false, 0}}));
  EXPECT_EQ(buffer.Position(), 5);
}

TEST(KeyBuffer, KeepsTheFirst32EventsAndARefillStartsOver) {
  std::vector<KeyEvent> events;
  for (std::uint32_t key = 1; key <= 40; ++key) events.push_back({key, 0x80});
  KeyBuffer buffer;
  buffer.Fill(events);
  const auto taken = TakeAll(buffer, 33);
  EXPECT_EQ(taken[31], (Taken{true, 32}));
  EXPECT_EQ(taken[32], (Taken{false, 0}));
  const KeyEvent next[] = {{kB, 0x80}};
  buffer.Fill(next);
  EXPECT_EQ(TakeAll(buffer, 1), (std::vector<Taken>{{true, kB}}));
  buffer.Fill(next);
  buffer.Clear();
  EXPECT_EQ(TakeAll(buffer, 1), (std::vector<Taken>{{false, 0}}));
}

TEST(KeyTable, BitSevenMarksAKeyDownAndCodesOutsideTheTableAreNeverDown) {
  std::uint8_t state[vela::input::kKeyCount];
  std::fill(std::begin(state), std::end(state), 0x80);
  state[kB] = 0x7F;
  KeyTable table;
  table.Load(state);
  EXPECT_TRUE(table.IsDown(kA));
  EXPECT_TRUE(table.IsDown(255));
  EXPECT_FALSE(table.IsDown(kB));
  for (std::int32_t outside : {256, -1, INT32_MIN, 0x1000 + 0x1E}) EXPECT_FALSE(table.IsDown(outside)) << outside;
  table.Clear();
  EXPECT_FALSE(table.IsDown(kA));
}

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
