// DDS output: the surface's own format and bytes (rows or block rows without padding) behind a
// header that readers recognise: masks for packed formats, a four-character code for DXT.
#include <cstring>

#include "imagecodec/dds_format.h"
#include "imagecodec/image_writers.h"
#include "imagecodec/pixel_format.h"

namespace vela::codec {
namespace {

std::uint32_t MaskOf(ChannelLayout channel) {
  return channel.bits == 0 ? 0u : ((channel.bits >= 32 ? 0u : 1u << channel.bits) - 1u) << channel.shift;
}

}  // namespace

void WriteDds(const ConstSurfaceView& surface, std::vector<std::uint8_t>& file) {
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  const bool blocks = IsBlockCompressed(layout);
  std::size_t rowBytes = 0;
  MinimumPitch(layout, surface.width, rowBytes);
  const std::uint32_t rows = StorageRows(layout, surface.height);
  const std::size_t start = file.size();
  file.reserve(start + dds::kDataOffset + rowBytes * rows);
  AppendLe32(file, dds::kMagic);
  AppendLe32(file, dds::kHeaderSize);
  AppendLe32(file, dds::kCaps | dds::kHeight | dds::kWidth | dds::kPixelFormat |
                       (blocks ? dds::kLinearSize : dds::kPitch));
  AppendLe32(file, surface.height);
  AppendLe32(file, surface.width);
  AppendLe32(file, static_cast<std::uint32_t>(blocks ? rowBytes * rows : rowBytes));
  AppendLe32(file, 0);  // depth
  AppendLe32(file, 0);  // mip map count
  file.insert(file.end(), 44, 0);
  AppendLe32(file, dds::kPixelFormatSize);
  if (blocks) {
    AppendLe32(file, dds::kFourCC);
    AppendLe32(file, static_cast<std::uint32_t>(surface.format));
    file.insert(file.end(), 20, 0);
  } else {
    const bool colour = layout.r.bits != 0;
    std::uint32_t flags = colour ? dds::kRgb : dds::kAlphaOnly;
    if (colour && layout.a.bits != 0) flags |= dds::kAlphaPixels;
    AppendLe32(file, flags);
    AppendLe32(file, 0);
    AppendLe32(file, layout.bytesPerPixel * 8u);
    AppendLe32(file, MaskOf(layout.r));
    AppendLe32(file, MaskOf(layout.g));
    AppendLe32(file, MaskOf(layout.b));
    AppendLe32(file, MaskOf(layout.a));
  }
  AppendLe32(file, dds::kCapsTexture);
  file.insert(file.end(), 16, 0);  // caps2 to caps4, reserved
  for (std::uint32_t row = 0; row < rows; ++row) {
    const std::uint8_t* bytes = surface.bits + static_cast<std::ptrdiff_t>(row) * surface.pitch;
    file.insert(file.end(), bytes, bytes + rowBytes);
  }
}

}  // namespace vela::codec
