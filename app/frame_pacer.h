// FramePacer: holds the frame loop at 60 frames per second with a 32.32 fixed-point deadline.
//
// Times are milliseconds in the high 32 bits and fractions of a millisecond in the low 32, so
// sleeping in whole milliseconds loses nothing: the deadline moves by exactly one interval and
// the remainder carries into the next frame. A frame that ran late (or the first one) does not
// sleep and restarts the deadline at the present; lost time is not made up.
#pragma once

#include <cstdint>

namespace vela {

// 1000 ms / 60 in 32.32 fixed point: 16.666... ms, 0x10AAAAAAAA.
inline constexpr std::uint64_t kFrameInterval = (std::uint64_t{1000} << 32) / 60;

struct FrameWait {
  bool sleeps;
  std::uint32_t milliseconds;  // whole milliseconds left in the frame, rounded down
};

class FramePacer {
 public:
  // Called once per frame with the millisecond clock; answers how long to sleep.
  FrameWait NextFrame(std::uint32_t nowMilliseconds);
  std::uint64_t Deadline() const { return deadline_; }

 private:
  std::uint64_t deadline_ = 0;  // 0 until the first frame
};

}  // namespace vela
