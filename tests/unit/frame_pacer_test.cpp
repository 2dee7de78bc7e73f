// The 32.32 frame pacing, with the clock in the test's hand.
#include <gtest/gtest.h>

#include "app/frame_pacer.h"

namespace {

using vela::FramePacer;
using vela::kFrameInterval;

TEST(FramePacer, IntervalIsSixtiethOfASecondInFixedPoint) {
  EXPECT_EQ(kFrameInterval, 0x10AAAAAAAAull);
}

TEST(FramePacer, FirstFrameNeverSleepsAndStartsTheDeadlineNow) {
  FramePacer pacer;
  EXPECT_EQ(pacer.Deadline(), 0u);
  const auto wait = pacer.NextFrame(123456);
  EXPECT_FALSE(wait.sleeps);
  EXPECT_EQ(pacer.Deadline(), std::uint64_t{123456} << 32);
}

TEST(FramePacer, ShortFrameSleepsTheWholeRestAndMovesByOneInterval) {
  FramePacer pacer;
  pacer.NextFrame(1000);
  const auto wait = pacer.NextFrame(1005);  // 16.67 - 5 = 11.67 ms left
  EXPECT_TRUE(wait.sleeps);
  EXPECT_EQ(wait.milliseconds, 11u);
  EXPECT_EQ(pacer.Deadline(), (std::uint64_t{1000} << 32) + kFrameInterval);
}

TEST(FramePacer, LateFrameDoesNotSleepAndRestartsAtNow) {
  FramePacer pacer;
  pacer.NextFrame(1000);
  const auto wait = pacer.NextFrame(1020);
  EXPECT_FALSE(wait.sleeps);
  EXPECT_EQ(pacer.Deadline(), std::uint64_t{1020} << 32);
}

TEST(FramePacer, WakingInsideTheFractionalMillisecondCountsAsLate) {
  FramePacer pacer;
  pacer.NextFrame(1000);
  pacer.NextFrame(1005);  // deadline 1016.67
  // Woken at 1016: before the deadline, so "elapsed" wraps and the frame counts as late.
  const auto wait = pacer.NextFrame(1016);
  EXPECT_FALSE(wait.sleeps);
  EXPECT_EQ(pacer.Deadline(), std::uint64_t{1016} << 32);
}

TEST(FramePacer, SixtyFramesOfSteadyWorkSpanOneSecond) {
  // Each frame: 2 ms of work, then the sleep the pacer asks for.
  FramePacer pacer;
  std::uint32_t now = 50000;
  pacer.NextFrame(now);
  const std::uint32_t start = now;
  for (int frame = 0; frame < 60; ++frame) {
    now += 2;
    const auto wait = pacer.NextFrame(now);
    if (wait.sleeps) now += wait.milliseconds + 1;  // Sleep wakes in the next millisecond
  }
  EXPECT_NEAR(static_cast<double>(now - start), 1000.0, 20.0);
}

TEST(FramePacer, ClockWrapAroundKeepsPacing) {
  FramePacer pacer;
  pacer.NextFrame(0xFFFFFFFAu);
  const auto wait = pacer.NextFrame(0x00000001u);  // 7 ms later, across the wrap
  EXPECT_TRUE(wait.sleeps);
  EXPECT_EQ(wait.milliseconds, 9u);
}

}  // namespace

