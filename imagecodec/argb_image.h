// A decoded image: rows of 32-bit A8R8G8B8 pixels (0xAARRGGBB), packed without padding. Every
// reader decodes into it; the scaler and the surface writer read from it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "imagecodec/codec_types.h"

namespace vela::codec {

// In memory a pixel is the bytes blue, green, red, alpha: libpng and libjpeg write those bytes
// straight into the rows, and View hands them out as an A8R8G8B8 surface.
static_assert(std::endian::native == std::endian::little, "ArgbImage pixels are little-endian words");

class ArgbImage {
 public:
  // Allocates width x height pixels (contents unspecified). kInvalidData for a size outside
  // the codec's limits, kOutOfMemory when the heap refuses; the previous pixels are dropped.
  Result Allocate(std::uint32_t width, std::uint32_t height);

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  std::size_t pixelCount() const { return static_cast<std::size_t>(width_) * height_; }
  std::uint32_t* pixels() { return pixels_.get(); }
  const std::uint32_t* pixels() const { return pixels_.get(); }
  std::uint32_t* Row(std::uint32_t y) { return pixels_.get() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* Row(std::uint32_t y) const {
    return pixels_.get() + static_cast<std::size_t>(y) * width_;
  }
  // The pixels as an A8R8G8B8 surface: rows of width x 4 bytes blue, green, red, alpha.
  ConstSurfaceView View() const {
    return ConstSurfaceView(PixelFormat::kA8R8G8B8, width_, height_, static_cast<std::ptrdiff_t>(width_) * 4,
                            reinterpret_cast<const std::uint8_t*>(pixels_.get()));
  }

 private:
  std::unique_ptr<std::uint32_t[]> pixels_;
  std::uint32_t width_ = 0;
  std::uint32_t height_ = 0;
};

constexpr std::uint32_t PackArgb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return a << 24 | r << 16 | g << 8 | b;
}

}  // namespace vela::codec
