// Clipping a copy rectangle pair against the viewport, for copies that cannot clip themselves
// (surface copies onto the back buffer). Pure arithmetic.
#pragma once

#include <cstdint>

namespace vela {

// Laid out like a Win32 RECT.
struct PixelRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

struct ViewportArea {
  std::uint32_t x;
  std::uint32_t y;
  std::uint32_t width;
  std::uint32_t height;
};

// Cuts the destination to the viewport and the source by the same share (scaled by source size
// over destination size, truncated). Answers whether the destination is still non-empty.
bool ClipToViewport(const ViewportArea& viewport, PixelRect& destination, PixelRect& source);

}  // namespace vela
