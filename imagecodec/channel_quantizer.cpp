#include "imagecodec/channel_quantizer.h"

#include <algorithm>
#include <cmath>

#include "imagecodec/pixel_format.h"

namespace vela::codec {

std::uint32_t RoundChannel(float value) {
  if (!(value > 0.0f)) return 0;  // also catches NaN
  if (value >= 255.0f) return 255;
  return static_cast<std::uint32_t>(value + 0.5f);
}

std::uint32_t QuantizeChannel(float value, unsigned bits, unsigned ditherThreshold) {
  const std::uint32_t top = (1u << bits) - 1u;
  if (!(value > 0.0f)) return 0;
  if (value >= 255.0f) return top;
  if (bits >= 8) {
    return std::min<std::uint32_t>(top, static_cast<std::uint32_t>(value * top / 255.0f + 0.5f));
  }
  // The level at or below the value, found from an estimate that is off by at most one.
  auto level = std::min<std::uint32_t>(top, static_cast<std::uint32_t>(value * top / 255.0f));
  if (level < top && static_cast<float>(ExpandTo8(level + 1, bits)) <= value) ++level;
  if (level > 0 && static_cast<float>(ExpandTo8(level, bits)) > value) --level;
  if (level == top) return top;
  const float low = static_cast<float>(ExpandTo8(level, bits));
  const float high = static_cast<float>(ExpandTo8(level + 1, bits));
  const float fraction = (value - low) / (high - low);
  return fraction * 16.0f > static_cast<float>(ditherThreshold) + 0.5f ? level + 1 : level;
}

}  // namespace vela::codec
