#include "imagecodec/surface_writer.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "imagecodec/channel_quantizer.h"
#include "imagecodec/dxt_encoder.h"
#include "imagecodec/pixel_format.h"
#include "imagecodec/surface_reader.h"

namespace vela::codec {
namespace {

std::uint32_t PackChannel(float value, ChannelLayout channel, unsigned threshold) {
  if (channel.bits == 0) return 0;
  return QuantizeChannel(value, channel.bits, threshold) << channel.shift;
}

// One float pixel (red, green, blue, alpha) in the packed layout. A one-bit alpha is a threshold
// at half, as in DXT1, rather than a dither: a stipple on the edges of keyed sprites looks worse.
std::uint32_t PackPixel(const FormatLayout& layout, const float* pixel, unsigned threshold) {
  std::uint32_t packed = layout.unusedBits;
  packed |= PackChannel(pixel[kRed], layout.r, threshold);
  packed |= PackChannel(pixel[kGreen], layout.g, threshold);
  packed |= PackChannel(pixel[kBlue], layout.b, threshold);
  if (layout.a.bits == 1) {
    packed |= (RoundChannel(pixel[kAlpha]) >= 128 ? 1u : 0u) << layout.a.shift;
  } else {
    packed |= PackChannel(pixel[kAlpha], layout.a, threshold);
  }
  return packed;
}

void WritePackedRows(TriangleScaler& scaler, const FormatLayout& layout, const SurfaceView& surface,
                     const PixelRect& rect) {
  const std::uint32_t width = scaler.width();
  std::vector<float> row(static_cast<std::size_t>(width) * 4);
  for (std::uint32_t y = 0; y < scaler.height(); ++y) {
    scaler.Row(y, row.data());
    const std::uint32_t surfaceY = rect.top + y;
    std::uint8_t* out = surface.bits + static_cast<std::ptrdiff_t>(surfaceY) * surface.pitch +
                        static_cast<std::size_t>(rect.left) * layout.bytesPerPixel;
    for (std::uint32_t x = 0; x < width; ++x, out += layout.bytesPerPixel) {
      const unsigned threshold = kBayer4x4[surfaceY & 3][(rect.left + x) & 3];
      const std::uint32_t packed = PackPixel(layout, row.data() + x * 4, threshold);
      for (unsigned i = 0; i < layout.bytesPerPixel; ++i) out[i] = static_cast<std::uint8_t>(packed >> (8 * i));
    }
  }
}

std::uint32_t RoundPixel(const float* pixel) {
  return RoundChannel(pixel[kAlpha]) << 24 | RoundChannel(pixel[kRed]) << 16 |
         RoundChannel(pixel[kGreen]) << 8 | RoundChannel(pixel[kBlue]);
}

void WriteBlockRows(TriangleScaler& scaler, const FormatLayout& layout, const SurfaceView& surface,
                    const PixelRect& rect) {
  const std::uint32_t width = scaler.width();
  const std::uint32_t height = scaler.height();
  std::vector<float> row(static_cast<std::size_t>(width) * 4);
  std::vector<std::uint32_t> band(static_cast<std::size_t>(width) * 4);  // four rows, rounded
  std::uint32_t block[16];
  for (std::uint32_t by = 0; by < height; by += 4) {
    const std::uint32_t rows = std::min<std::uint32_t>(4, height - by);
    for (std::uint32_t y = 0; y < rows; ++y) {
      scaler.Row(by + y, row.data());
      for (std::uint32_t x = 0; x < width; ++x) band[y * width + x] = RoundPixel(row.data() + x * 4);
    }
    std::uint8_t* out = surface.bits + static_cast<std::ptrdiff_t>((rect.top + by) / 4) * surface.pitch +
                        static_cast<std::size_t>(rect.left / 4) * layout.bytesPerBlock;
    for (std::uint32_t bx = 0; bx < width; bx += 4, out += layout.bytesPerBlock) {
      // A partial block at the edge repeats its last row and column.
      const std::uint32_t columns = std::min<std::uint32_t>(4, width - bx);
      for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t y = std::min<std::uint32_t>(i / 4, rows - 1);
        const std::uint32_t x = std::min<std::uint32_t>(i % 4, columns - 1);
        block[i] = band[y * width + bx + x];
      }
      EncodeDxtBlock(layout.format, block, out);
    }
  }
}

}  // namespace

Result CheckDestination(const SurfaceView& surface, const PixelRect& rect) {
  if (const Result checked = CheckSurfaceView(surface); !Succeeded(checked)) return checked;
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  // Premultiplied DXT2 and DXT4 are read but not written.
  if (surface.format == PixelFormat::kDxt2 || surface.format == PixelFormat::kDxt4) {
    return Result::kNotImplemented;
  }
  if (rect.left >= rect.right || rect.top >= rect.bottom || rect.right > surface.width ||
      rect.bottom > surface.height) {
    return Result::kInvalidCall;
  }
  if (IsBlockCompressed(layout)) {
    const bool alignedRight = rect.right % 4 == 0 || rect.right == surface.width;
    const bool alignedBottom = rect.bottom % 4 == 0 || rect.bottom == surface.height;
    if (rect.left % 4 != 0 || rect.top % 4 != 0 || !alignedRight || !alignedBottom) return Result::kInvalidCall;
  }
  return Result::kOk;
}

void WriteScaledImage(TriangleScaler& scaler, const SurfaceView& surface, const PixelRect& rect) {
  const FormatLayout& layout = *FindFormatLayout(surface.format);
  if (IsBlockCompressed(layout)) {
    WriteBlockRows(scaler, layout, surface, rect);
  } else {
    WritePackedRows(scaler, layout, surface, rect);
  }
}

}  // namespace vela::codec
