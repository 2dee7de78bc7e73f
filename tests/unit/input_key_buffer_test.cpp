// The key table and the key buffer walk, on event lists like those DirectInput hands over.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "input/key_buffer.h"
#include "input/key_table.h"

namespace {

using vela::input::KeyBuffer;
using vela::input::KeyEvent;
using vela::input::KeyTable;

constexpr std::uint32_t kA = 0x1E;  // DIK_A
constexpr std::uint32_t kB = 0x30;  // DIK_B
constexpr std::uint32_t kDown = 0x80;
constexpr std::uint32_t kUp = 0x00;

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

TEST(KeyBuffer, ReleaseAnswersFalseWithZeroAndThePositionStillMoves) {
  KeyBuffer buffer;
  const KeyEvent events[] = {{kA, kDown}, {kA, kUp}, {kB, kDown}};
  buffer.Fill(events);
  EXPECT_EQ(TakeAll(buffer, 5),
            (std::vector<Taken>{{true, kA}, {false, 0}, {true, kB}, {false, 0}, {false, 0}}));
  EXPECT_EQ(buffer.Position(), 3);
}

TEST(KeyBuffer, EmptyBufferAnswersFalseAndWritesZero) {
  KeyBuffer buffer;
  std::int32_t key = 99;
  EXPECT_FALSE(buffer.Next(key));
  EXPECT_EQ(key, 0);
}

TEST(KeyBuffer, OnlyBitSevenOfTheDataMarksAPress) {
  KeyBuffer buffer;
  const KeyEvent events[] = {{kA, 0xFF}, {kB, 0x7F}, {kA, 0x180}};
  buffer.Fill(events);
  EXPECT_EQ(TakeAll(buffer, 3), (std::vector<Taken>{{true, kA}, {false, 0}, {true, kA}}));
}

TEST(KeyBuffer, KeepsTheFirst32EventsAndARefillStartsOver) {
  std::vector<KeyEvent> events;
  for (std::uint32_t key = 1; key <= 40; ++key) events.push_back({key, kDown});
  KeyBuffer buffer;
  buffer.Fill(events);
  ASSERT_EQ(buffer.Count(), 32);
  const auto taken = TakeAll(buffer, 33);
  for (std::int32_t index = 0; index < 32; ++index) EXPECT_EQ(taken[index], (Taken{true, index + 1}));
  EXPECT_EQ(taken[32], (Taken{false, 0}));

  const KeyEvent next[] = {{kB, kDown}};
  buffer.Fill(next);
  EXPECT_EQ(TakeAll(buffer, 2), (std::vector<Taken>{{true, kB}, {false, 0}}));
  buffer.Clear();
  EXPECT_EQ(TakeAll(buffer, 1), (std::vector<Taken>{{false, 0}}));
}

TEST(KeyTable, BitSevenOfTheDeviceStateMarksAKeyDown) {
  std::uint8_t state[vela::input::kKeyCount] = {};
  state[kA] = 0x80;
  state[kB] = 0x7F;
  state[0xFF] = 0xFF;
  KeyTable table;
  table.Load(state);
  EXPECT_TRUE(table.IsDown(kA));
  EXPECT_FALSE(table.IsDown(kB));
  EXPECT_TRUE(table.IsDown(0xFF));
  EXPECT_FALSE(table.IsDown(0));
  table.Clear();
  EXPECT_FALSE(table.IsDown(kA));
}

TEST(KeyTable, ScanCodesOutsideTheTableAreNeverDown) {
  std::uint8_t state[vela::input::kKeyCount];
  std::fill(std::begin(state), std::end(state), 0x80);
  KeyTable table;
  table.Load(state);
  EXPECT_TRUE(table.IsDown(255));
  EXPECT_FALSE(table.IsDown(256));
  EXPECT_FALSE(table.IsDown(-1));
  EXPECT_FALSE(table.IsDown(INT32_MIN));
  EXPECT_FALSE(table.IsDown(0x1000 + kA));  // no wrap into the table
}

}  // namespace
