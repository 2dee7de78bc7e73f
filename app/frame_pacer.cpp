#include "app/frame_pacer.h"

namespace vela {

FrameWait FramePacer::NextFrame(std::uint32_t nowMilliseconds) {
  const std::uint64_t now = std::uint64_t{nowMilliseconds} << 32;
  // Unsigned with wrap-around: a wake-up just past a fractional deadline reads as a late frame.
  const std::uint64_t elapsed = now - deadline_;
  if (elapsed < kFrameInterval) {
    deadline_ += kFrameInterval;
    return {true, static_cast<std::uint32_t>((kFrameInterval - elapsed) >> 32)};
  }
  deadline_ = now;
  return {false, 0};
}

}  // namespace vela
