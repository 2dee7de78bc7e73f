#include "math/vela_math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

namespace vela::math {
namespace {

// Rounds through memory so that an x87 build cannot keep a wider intermediate.
float ToFloat(long double value) {
  volatile float rounded = static_cast<float>(value);
  return rounded;
}

// Entry i is the sine, taken in long double and rounded once, of i table units (2 pi / 65536
// as a float) rounded to a float angle.
TEST(SineTable, EveryEntryIsTheRoundedSineOfTheSinglePrecisionAngle) {
  const float unit = std::bit_cast<float>(std::uint32_t{0x38C90FDB});
  for (int i = 0; i < kSineTableSize; ++i) {
    const float theta = ToFloat(static_cast<long double>(i) * unit);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(kSineTable[i]), std::bit_cast<std::uint32_t>(ToFloat(std::sin(static_cast<long double>(theta)))))
        << "entry " << i;
  }
}

TEST(AtanTable, EveryEntryIsTheFloorOfTheAngleExceptTwoThatAreOneLess) {
  const long double pi = 3.141592653589793238462643383279502884L;
  for (int i = 0; i < 8192; ++i) {
    // Every entry but 0 lies at least 1.8e-5 off an integer: long double is plenty.
    const auto floor = static_cast<std::uint32_t>(std::floor(std::atan(i / 8192.0L) * 32768.0L / pi));
    ASSERT_EQ(kAtanTable[i], i == 1269 || i == 6638 ? floor - 1 : floor) << "entry " << i;
  }
  EXPECT_EQ(kAtanTable[8192], 8191u);
}

TEST(Trigonometry, SinAndCosUseTheLowSixteenBits) {
  EXPECT_EQ(Sin(65536 + 1234), Sin(1234));
  EXPECT_EQ(Sin(-16384), -1.0f);
  EXPECT_EQ(Cos(INT32_MAX), kSineTable[(0xFFFF + 16384) & 0xFFFF]);
  EXPECT_EQ(Sin(INT32_MIN), 0.0f);
}

TEST(Trigonometry, AtanAxesAndOneRatioInEveryOctant) {
  const std::int32_t cases[][3] = {
      {1, 0, 0},     {-1, 0, 32768}, {0, 1, 16384}, {0, -1, 49152}, {0, 0, 16384},
      {1, 1, 8191},  {-1, -1, 40959}, {10000, -1, 65536},  // not reduced to 0
      // The ratio 1/2 (table entry 4096 = 4836) in each octant.
      {2, 1, 4836},  {1, 2, 16384 - 4836}, {-1, 2, 16384 + 4836}, {-2, 1, 32768 - 4836},
      {-2, -1, 32768 + 4836}, {-1, -2, 49152 - 4836}, {1, -2, 49152 + 4836}, {2, -1, 65536 - 4836},
      {INT32_MIN, INT32_MIN, 40959}, {INT32_MIN, 1, 32768}, {INT32_MAX, INT32_MIN, 49152 + 8191}};
  for (const auto& [x, y, angle] : cases) EXPECT_EQ(Atan(x, y), angle) << x << ", " << y;
}

TEST(Trigonometry, RotateUsesTheOldCoordinatesForBoth) {
  Vector2 w{1.0f, 2.0f};
  Rotate(w, 16384);
  EXPECT_NEAR(w.x, -2.0f, 1e-6f);
  EXPECT_NEAR(w.y, 1.0f, 1e-6f);
}

// Seed 12345 gives the draws (state >> 16) & 0x7FFF = 7584, 19164, 25795, 22125, 5828, 23405,
// 27477, 5413, 29072, 23404, 14959, 14800. Rand(0, 1000) is r1 * r2 % 1001, e.g. 7584 * 19164 =
// 145339776 = 1001 * 145194 + 582. RandF(0, 1) is r * (float)(1 / 32767) rounded once to float.
TEST(Random, SeededSequenceIsFixed) {
  Seed(12345);
  EXPECT_EQ(Rand(0, 1000), 582);
  EXPECT_EQ(Rand(0, 1000), 231);
  EXPECT_EQ(Rand(0, 1000), 72);
  EXPECT_EQ(Rand(0, 1000), 417);
  EXPECT_EQ(RandF(0.0f, 1.0f), 0x1.c6438cp-1f);  // 29072
  EXPECT_EQ(RandF(0.0f, 1.0f), 0x1.6db2dcp-1f);  // 23404
  // Evaluated in float rather than with one final rounding, these would come out as
  // -0x1.d3622p-3 and 0x1.44a994p+2.
  Seed(12345);
  EXPECT_EQ(RandF(-3.7f, 11.3f), -0x1.d3620cp-3f);
  EXPECT_EQ(RandF(-3.7f, 11.3f), 0x1.44a996p+2f);
}

TEST(Random, RangesIncludingEmptyAndReversedSpans) {
  Seed(7);
  bool seen[2] = {false, false};
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(Rand(5, 5), 5);
    seen[Rand(0, 1)] = true;
    const std::int32_t reversed = Rand(10, 0);  // span -9: answers 10..18
    ASSERT_TRUE(reversed >= 10 && reversed <= 18);
    const float f = RandF(-2.0f, 3.0f);
    ASSERT_TRUE(f >= -2.0f && f <= 3.0f);
  }
  EXPECT_TRUE(seen[0] && seen[1]);
  // A span of 0 in 32-bit arithmetic has no remainder: the lower end is the answer.
  EXPECT_EQ(Rand(3, 2), 3);
  EXPECT_EQ(Rand(INT32_MIN, INT32_MAX), INT32_MIN);
  // Span -(2^31 - 2): INT32_MAX + 145339776 wraps instead of overflowing.
  Seed(12345);
  EXPECT_EQ(Rand(INT32_MAX, 0), -2002143873);
}

}  // namespace
}  // namespace vela::math
