#include <gtest/gtest.h>

#include <cstdint>

#include "plugin/grow_buffer.h"

namespace {

using vela::plugin::GrowBuffer;

TEST(GrowBuffer, GrowsToThePowerOfTwoAboveAndKeepsItsContentsAndBlock) {
  GrowBuffer<char16_t> buffer;
  ASSERT_TRUE(buffer.Reserve(5));
  EXPECT_EQ(buffer.Capacity(), 8);
  const char16_t* block = buffer.Data();
  ASSERT_TRUE(buffer.Reserve(8));
  EXPECT_EQ(buffer.Data(), block) << "within capacity the block stays";
  for (char16_t unit = 0; unit < 300; ++unit) ASSERT_TRUE(buffer.Push(unit));
  EXPECT_EQ(buffer.Capacity(), 512);
  for (char16_t unit = 0; unit < 300; ++unit) ASSERT_EQ(buffer.Data()[unit], unit);
}

TEST(GrowBuffer, ARefusedRequestLeavesTheBufferAsItWas) {
  GrowBuffer<char16_t> buffer;
  ASSERT_TRUE(buffer.Append(u"abc", 3));
  // 2^30 units of 2 bytes do not fit the 32-bit size: the heap is asked for 0xFFFFFFFF bytes.
  EXPECT_FALSE(buffer.Reserve(0x40000001));
  EXPECT_FALSE(buffer.Reserve(INT32_MAX));
  EXPECT_EQ(buffer.Capacity(), 4);
  EXPECT_EQ(std::u16string(buffer.Data(), buffer.Count()), u"abc");
}

}  // namespace
