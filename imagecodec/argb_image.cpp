#include "imagecodec/argb_image.h"

#include <new>

#include "imagecodec/image_limits.h"

namespace vela::codec {

Result ArgbImage::Allocate(std::uint32_t width, std::uint32_t height) {
  pixels_.reset();
  width_ = height_ = 0;
  if (!ImageSizeAllowed(width, height)) return Result::kInvalidData;
  pixels_.reset(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width) * height]);
  if (!pixels_) return Result::kOutOfMemory;
  width_ = width;
  height_ = height;
  return Result::kOk;
}

}  // namespace vela::codec
