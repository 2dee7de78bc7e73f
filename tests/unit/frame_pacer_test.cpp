// The 32.32 frame pacing, with the clock in the test's hand.
#include <gtest/gtest.h>

#include "app/frame_pacer.h"

namespace {

using vela::FramePacer;
using vela::kFrameInterval;

TEST(FramePacer, ShortFramesSleepTheRestAndLateOnesRestartTheDeadlineNow) {
  FramePacer pacer;
  EXPECT_FALSE(pacer.NextFrame(1000).sleeps) << "the first frame never sleeps";
  const auto wait = pacer.NextFrame(1005);  // 16.67 - 5 = 11.67 ms left
  EXPECT_TRUE(wait.sleeps);
  EXPECT_EQ(wait.milliseconds, 11u);
  EXPECT_EQ(pacer.Deadline(), (std::uint64_t{1000} << 32) + kFrameInterval);
  // Woken at 1016, inside the fractional millisecond before the deadline: "elapsed" wraps and
  // the frame counts as late.
  EXPECT_FALSE(pacer.NextFrame(1016).sleeps);
  EXPECT_EQ(pacer.Deadline(), std::uint64_t{1016} << 32);
  EXPECT_FALSE(pacer.NextFrame(1040).sleeps);
  EXPECT_EQ(pacer.Deadline(), std::uint64_t{1040} << 32);
}

TEST(FramePacer, ClockWrapAroundKeepsPacing) {
  FramePacer pacer;
  pacer.NextFrame(0xFFFFFFFAu);
  const auto wait = pacer.NextFrame(0x00000001u);  // 7 ms later, across the wrap
  EXPECT_TRUE(wait.sleeps);
  EXPECT_EQ(wait.milliseconds, 9u);
}

}  // namespace
