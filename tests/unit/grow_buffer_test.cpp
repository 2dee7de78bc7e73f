#include <gtest/gtest.h>

#include <cstdint>

#include "plugin/grow_buffer.h"

namespace {

using vela::plugin::GrowBuffer;

TEST(GrowBuffer, StartsEmptyWithARealBlock) {
  GrowBuffer<char16_t> buffer;
  EXPECT_EQ(buffer.Count(), 0);
  EXPECT_EQ(buffer.Capacity(), 0);
  EXPECT_NE(buffer.Data(), nullptr);
}

TEST(GrowBuffer, CapacityIsTheNextPowerOfTwo) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {{1, 1}, {2, 2}, {3, 4}, {5, 8}, {1000, 1024}, {1024, 1024}};
  for (const auto& [wanted, capacity] : cases) {
    GrowBuffer<char> buffer;
    ASSERT_TRUE(buffer.Reserve(wanted));
    EXPECT_EQ(buffer.Capacity(), capacity) << "reserve(" << wanted << ")";
    EXPECT_EQ(buffer.Count(), 0) << "reserve does not change the count";
  }
}

TEST(GrowBuffer, ReserveWithinCapacityKeepsTheBlock) {
  GrowBuffer<char16_t> buffer;
  ASSERT_TRUE(buffer.Reserve(5));
  const char16_t* block = buffer.Data();
  ASSERT_TRUE(buffer.Reserve(8));
  EXPECT_EQ(buffer.Data(), block);
  EXPECT_EQ(buffer.Capacity(), 8);
}

TEST(GrowBuffer, GrowingKeepsTheContents) {
  GrowBuffer<char16_t> buffer;
  for (char16_t unit = 0; unit < 300; ++unit) ASSERT_TRUE(buffer.Push(unit));
  EXPECT_EQ(buffer.Count(), 300);
  EXPECT_EQ(buffer.Capacity(), 512);
  for (char16_t unit = 0; unit < 300; ++unit) ASSERT_EQ(buffer.Data()[unit], unit);
}

TEST(GrowBuffer, ARefusedRequestLeavesTheBufferAsItWas) {
  GrowBuffer<char16_t> buffer;
  ASSERT_TRUE(buffer.Append(u"abc", 3));
  // 2^30 units of 2 bytes do not fit the 32-bit size: the heap is asked for 0xFFFFFFFF bytes.
  EXPECT_FALSE(buffer.Reserve(0x40000001));
  EXPECT_FALSE(buffer.Reserve(INT32_MAX));
  EXPECT_EQ(buffer.Count(), 3);
  EXPECT_EQ(buffer.Capacity(), 4);
  EXPECT_EQ(std::u16string(buffer.Data(), 3), u"abc");
}

}  // namespace
