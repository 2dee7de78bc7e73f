#include "imagecodec/surface_reader.h"

#include <algorithm>
#include <cstddef>

#include "imagecodec/dxt_decoder.h"
#include "imagecodec/pixel_format.h"

namespace vela::codec {
namespace {

void ReadBlockRows(const FormatLayout& layout, const ConstSurfaceView& surface, ArgbImage& image) {
  std::uint32_t block[16];
  for (std::uint32_t by = 0; by < surface.height; by += 4) {
    const std::uint8_t* source = surface.bits + static_cast<std::ptrdiff_t>(by / 4) * surface.pitch;
    for (std::uint32_t bx = 0; bx < surface.width; bx += 4, source += layout.bytesPerBlock) {
      DecodeDxtBlock(layout.format, source, block);
      const std::uint32_t rows = std::min<std::uint32_t>(4, surface.height - by);
      const std::uint32_t columns = std::min<std::uint32_t>(4, surface.width - bx);
      for (std::uint32_t y = 0; y < rows; ++y) {
        std::copy_n(block + y * 4, columns, image.Row(by + y) + bx);
      }
    }
  }
}

}  // namespace

Result CheckSurfaceView(const ConstSurfaceView& surface) {
  const FormatLayout* layout = FindFormatLayout(surface.format);
  if (!layout) return Result::kNotImplemented;
  std::size_t rowBytes = 0;
  if (!surface.bits || surface.height == 0 || !MinimumPitch(*layout, surface.width, rowBytes)) {
    return Result::kInvalidCall;
  }
  if (surface.pitch < 0 || static_cast<std::size_t>(surface.pitch) < rowBytes) return Result::kInvalidCall;
  return Result::kOk;
}

Result ReadSurface(const ConstSurfaceView& surface, ArgbImage& image) {
  if (const Result checked = CheckSurfaceView(surface); !Succeeded(checked)) return checked;
  if (const Result allocated = image.Allocate(surface.width, surface.height); !Succeeded(allocated)) {
    return allocated;
  }
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  if (IsBlockCompressed(layout)) {
    ReadBlockRows(layout, surface, image);
  } else {
    for (std::uint32_t y = 0; y < surface.height; ++y) {
      ReadPackedRow(layout, surface.bits + static_cast<std::ptrdiff_t>(y) * surface.pitch, surface.width,
                    image.Row(y));
    }
  }
  return Result::kOk;
}

}  // namespace vela::codec
