#include "image/texture_sizing.h"

#include "imagecodec/codec_types.h"

namespace vela {

using codec::PixelFormat;

std::uint32_t TextureSide(std::uint32_t imageSize, std::uint32_t deviceMaximum) {
  std::uint32_t side = 1;
  while (side < imageSize && side < 0x80000000u) side <<= 1;
  if (deviceMaximum != 0) {
    while (side > deviceMaximum) side >>= 1;
  }
  return side;
}

std::uint32_t TextureFillWord(std::uint32_t format, std::uint32_t colour) {
  const std::uint32_t a = colour >> 24;
  const std::uint32_t r = (colour >> 16) & 0xFF;
  const std::uint32_t g = (colour >> 8) & 0xFF;
  const std::uint32_t b = colour & 0xFF;
  std::uint32_t pixel = 0;
  switch (static_cast<PixelFormat>(format)) {
    case PixelFormat::kA8R8G8B8:
    case PixelFormat::kX8R8G8B8:
      return colour;
    case PixelFormat::kR5G6B5:
      pixel = (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
      break;
    case PixelFormat::kX1R5G5B5:
    case PixelFormat::kA1R5G5B5:
      pixel = (a > 127 ? 1u : 0u) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
      break;
    case PixelFormat::kA4R4G4B4:
    case PixelFormat::kX4R4G4B4:
      pixel = (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | b >> 4;
      break;
    default:
      return 0;
  }
  return pixel | pixel << 16;
}

bool IsBlockCompressed(std::uint32_t format) {
  switch (static_cast<PixelFormat>(format)) {
    case PixelFormat::kDxt1:
    case PixelFormat::kDxt2:
    case PixelFormat::kDxt3:
    case PixelFormat::kDxt4:
    case PixelFormat::kDxt5:
      return true;
    default:
      return false;
  }
}

}  // namespace vela
