// Limits on decoded images and overflow-checked size arithmetic.
//
// Every reader checks a header's dimensions here before it allocates anything, so a lying header
// fails cleanly instead of asking for gigabytes. An image decoded whole may have sides up to 16384
// pixels (the largest texture side that Direct3D 9 hardware offers) and up to 32 Mi pixels (128
// MiB as A8R8G8B8), which a 32-bit process can still hold beside its other data. PNG and JPEG
// files are decoded a few rows at a time (row_source.h), so they only need to be countable: up to
// 2 Gi pixels, whatever their sides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace vela::codec {

inline constexpr std::uint32_t kMaxImageSide = 16384;
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 25;

constexpr bool ImageSizeAllowed(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

inline constexpr std::uint64_t kMaxStreamedPixels = std::uint64_t{1} << 31;

constexpr bool StreamedSizeAllowed(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxStreamedPixels && width * height <= kMaxStreamedPixels;
}

// a * b into `out`; false when it does not fit into size_t.
constexpr bool CheckedMultiply(std::size_t a, std::size_t b, std::size_t& out) {
  if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) return false;
  out = a * b;
  return true;
}

constexpr bool CheckedAdd(std::size_t a, std::size_t b, std::size_t& out) {
  if (b > std::numeric_limits<std::size_t>::max() - a) return false;
  out = a + b;
  return true;
}

}  // namespace vela::codec
