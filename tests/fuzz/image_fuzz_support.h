// Shared by the image reader fuzz targets: reads the information and decodes with one reader,
// then sends the pixels through the scaler and a pixel format chosen by the input, so that the
// conversion and the DXT encoder see whatever a reader can produce.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

#include "imagecodec/argb_image.h"
#include "imagecodec/byte_span.h"
#include "imagecodec/codec_types.h"
#include "imagecodec/image_readers.h"
#include "imagecodec/surface_writer.h"
#include "imagecodec/triangle_scaler.h"

namespace vela::codec::fuzzing {

inline constexpr PixelFormat kDestinations[] = {
    PixelFormat::kA8R8G8B8, PixelFormat::kR5G6B5,   PixelFormat::kA1R5G5B5, PixelFormat::kA4R4G4B4,
    PixelFormat::kA8R3G3B2, PixelFormat::kA8,       PixelFormat::kDxt1,     PixelFormat::kDxt3,
    PixelFormat::kDxt5,
};

// A small surface, its pixels in `bits`, whose format and size come from the input's last bytes.
inline SurfaceView ChosenSurface(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& bits) {
  const std::uint8_t selector = size > 0 ? data[size - 1] : 0;
  const std::uint8_t extent = size > 1 ? data[size - 2] : 0;
  SurfaceView surface;
  surface.format = kDestinations[selector % std::size(kDestinations)];
  surface.width = 1u + extent % 37u;
  surface.height = 1u + extent / 37u % 7u;
  surface.pitch = static_cast<std::ptrdiff_t>((surface.width + 3) * 4 * 4);  // room for any format
  bits.assign(static_cast<std::size_t>(surface.pitch) * (surface.height + 3), 0);
  surface.bits = bits.data();
  return surface;
}

inline void Convert(const std::uint8_t* data, std::size_t size, const ArgbImage& image) {
  std::vector<std::uint8_t> bits;
  const SurfaceView surface = ChosenSurface(data, size, bits);
  const PixelRect rect{0, 0, surface.width, surface.height};
  if (!Succeeded(CheckDestination(surface, rect))) return;
  TriangleScaler scaler(image, surface.width, surface.height);
  WriteScaledImage(scaler, surface, rect);
}

template <typename InfoReader, typename Decoder>
void FuzzReader(const std::uint8_t* data, std::size_t size, InfoReader readInfo, Decoder decode) {
  const ByteSpan file(data, size);
  ImageInfo info;
  const Result infoResult = readInfo(file, info);
  ArgbImage image;
  const Result decoded = decode(file, image);
  // A file whose header reads must report the size that decoding gives.
  if (Succeeded(infoResult) && Succeeded(decoded) && (info.width != image.width() || info.height != image.height())) {
    __builtin_trap();
  }
  if (Succeeded(decoded)) Convert(data, size, image);
}

// For the readers that take an UndeclaredAlpha: either reading, chosen by the input's length.
inline void FuzzReaderWithAlpha(const std::uint8_t* data, std::size_t size, Result (*readInfo)(ByteSpan, ImageInfo&),
                                Result (*decode)(ByteSpan, ArgbImage&, UndeclaredAlpha)) {
  const UndeclaredAlpha alpha = size % 2 ? UndeclaredAlpha::kStored : UndeclaredAlpha::kIgnored;
  FuzzReader(data, size, readInfo, [&](ByteSpan file, ArgbImage& image) { return decode(file, image, alpha); });
}

}  // namespace vela::codec::fuzzing
