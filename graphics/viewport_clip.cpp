#include "graphics/viewport_clip.h"

#include <algorithm>
#include <limits>

namespace vela {
namespace {

using Limits = std::numeric_limits<std::int32_t>;

// Truncation toward zero that saturates instead of overflowing on absurd rectangles.
std::int64_t Truncate(float value) {
  if (!(value > -2147483648.0f)) return Limits::min();
  if (value >= 2147483648.0f) return Limits::max();
  return static_cast<std::int64_t>(value);
}

std::int32_t Saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, Limits::min(), Limits::max()));
}

float Ratio(std::int32_t sourceFrom, std::int32_t sourceTo, std::int32_t destinationFrom,
            std::int32_t destinationTo) {
  return static_cast<float>(std::int64_t{sourceTo} - sourceFrom) /
         static_cast<float>(std::int64_t{destinationTo} - destinationFrom);
}

}  // namespace

bool ClipToViewport(const ViewportArea& viewport, PixelRect& destination, PixelRect& source) {
  const std::int64_t left = viewport.x;
  const std::int64_t top = viewport.y;
  const std::int64_t right = left + viewport.width;
  const std::int64_t bottom = top + viewport.height;
  const float kx = Ratio(source.left, source.right, destination.left, destination.right);
  const float ky = Ratio(source.top, source.bottom, destination.top, destination.bottom);
  auto cut = [](std::int64_t overhang, float ratio) { return Truncate(static_cast<float>(overhang) * ratio); };
  if (destination.left < left) {
    source.left = Saturate(source.left + cut(left - destination.left, kx));
    destination.left = Saturate(left);
  }
  if (destination.top < top) {
    source.top = Saturate(source.top + cut(top - destination.top, ky));
    destination.top = Saturate(top);
  }
  if (destination.right > right) {
    source.right = Saturate(source.right - cut(destination.right - right, kx));
    destination.right = Saturate(right);
  }
  if (destination.bottom > bottom) {
    source.bottom = Saturate(source.bottom - cut(destination.bottom - bottom, ky));
    destination.bottom = Saturate(bottom);
  }
  return destination.left < destination.right && destination.top < destination.bottom;
}

}  // namespace vela
