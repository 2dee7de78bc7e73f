#include "imagecodec/pixel_format.h"

#include "imagecodec/image_limits.h"

namespace vela::codec {
namespace {

constexpr FormatLayout Packed(PixelFormat format, std::uint8_t bytes, ChannelLayout a,
                              ChannelLayout r, ChannelLayout g, ChannelLayout b,
                              std::uint32_t unused = 0) {
  FormatLayout layout;
  layout.format = format;
  layout.bytesPerPixel = bytes;
  layout.a = a;
  layout.r = r;
  layout.g = g;
  layout.b = b;
  layout.unusedBits = unused;
  return layout;
}

constexpr FormatLayout Blocks(PixelFormat format, std::uint8_t bytes) {
  FormatLayout layout;
  layout.format = format;
  layout.bytesPerBlock = bytes;
  return layout;
}

constexpr ChannelLayout kNone{0, 0};

constexpr FormatLayout kLayouts[] = {
    Packed(PixelFormat::kA8R8G8B8, 4, {8, 24}, {8, 16}, {8, 8}, {8, 0}),
    Packed(PixelFormat::kX8R8G8B8, 4, kNone, {8, 16}, {8, 8}, {8, 0}, 0xFF000000u),
    Packed(PixelFormat::kR8G8B8, 3, kNone, {8, 16}, {8, 8}, {8, 0}),
    Packed(PixelFormat::kA8B8G8R8, 4, {8, 24}, {8, 0}, {8, 8}, {8, 16}),
    Packed(PixelFormat::kX8B8G8R8, 4, kNone, {8, 0}, {8, 8}, {8, 16}, 0xFF000000u),
    Packed(PixelFormat::kR5G6B5, 2, kNone, {5, 11}, {6, 5}, {5, 0}),
    Packed(PixelFormat::kX1R5G5B5, 2, kNone, {5, 10}, {5, 5}, {5, 0}, 0x8000u),
    Packed(PixelFormat::kA1R5G5B5, 2, {1, 15}, {5, 10}, {5, 5}, {5, 0}),
    Packed(PixelFormat::kA4R4G4B4, 2, {4, 12}, {4, 8}, {4, 4}, {4, 0}),
    Packed(PixelFormat::kX4R4G4B4, 2, kNone, {4, 8}, {4, 4}, {4, 0}, 0xF000u),
    Packed(PixelFormat::kR3G3B2, 1, kNone, {3, 5}, {3, 2}, {2, 0}),
    Packed(PixelFormat::kA8R3G3B2, 2, {8, 8}, {3, 5}, {3, 2}, {2, 0}),
    Packed(PixelFormat::kA8, 1, {8, 0}, kNone, kNone, kNone),
    Packed(PixelFormat::kA2R10G10B10, 4, {2, 30}, {10, 20}, {10, 10}, {10, 0}),
    Packed(PixelFormat::kA2B10G10R10, 4, {2, 30}, {10, 0}, {10, 10}, {10, 20}),
    Blocks(PixelFormat::kDxt1, 8),
    Blocks(PixelFormat::kDxt2, 16),
    Blocks(PixelFormat::kDxt3, 16),
    Blocks(PixelFormat::kDxt4, 16),
    Blocks(PixelFormat::kDxt5, 16),
};

constexpr std::uint32_t Mask(ChannelLayout channel) {
  return channel.bits == 0 ? 0u : ((1u << channel.bits) - 1u) << channel.shift;
}

std::uint32_t ReadChannel(std::uint32_t pixel, ChannelLayout channel, std::uint32_t absent) {
  if (channel.bits == 0) return absent;
  const std::uint32_t value = (pixel >> channel.shift) & ((1u << channel.bits) - 1u);
  return ExpandTo8(value, channel.bits);
}

}  // namespace

const FormatLayout* FindFormatLayout(PixelFormat format) {
  for (const FormatLayout& layout : kLayouts) {
    if (layout.format == format) return &layout;
  }
  return nullptr;
}

PixelFormat FindFormatByMasks(std::uint32_t bitCount, std::uint32_t redMask,
                              std::uint32_t greenMask, std::uint32_t blueMask,
                              std::uint32_t alphaMask) {
  for (const FormatLayout& layout : kLayouts) {
    if (layout.bytesPerPixel * 8u != bitCount) continue;
    if (Mask(layout.r) == redMask && Mask(layout.g) == greenMask && Mask(layout.b) == blueMask &&
        Mask(layout.a) == alphaMask) {
      return layout.format;
    }
  }
  return PixelFormat::kUnknown;
}

bool MinimumPitch(const FormatLayout& layout, std::uint32_t width, std::size_t& out) {
  if (width == 0) return false;
  if (IsBlockCompressed(layout)) {
    return CheckedMultiply((static_cast<std::size_t>(width) + 3) / 4, layout.bytesPerBlock, out);
  }
  return CheckedMultiply(width, layout.bytesPerPixel, out);
}

std::uint32_t StorageRows(const FormatLayout& layout, std::uint32_t height) {
  return IsBlockCompressed(layout) ? (height + 3) / 4 : height;
}

std::uint32_t ExpandTo8(std::uint32_t value, unsigned bits) {
  if (bits == 0) return 0;
  if (bits >= 8) return value >> (bits - 8);
  std::uint32_t out = 0;
  for (int position = 8 - static_cast<int>(bits);; position -= static_cast<int>(bits)) {
    out |= position >= 0 ? value << position : value >> -position;
    if (position <= 0) break;
  }
  return out & 0xFFu;
}

std::uint32_t ReadPackedPixel(const FormatLayout& layout, const std::uint8_t* pixel) {
  std::uint32_t raw = 0;
  for (unsigned i = 0; i < layout.bytesPerPixel; ++i) raw |= static_cast<std::uint32_t>(pixel[i]) << (8 * i);
  return ReadChannel(raw, layout.a, 0xFF) << 24 | ReadChannel(raw, layout.r, 0) << 16 |
         ReadChannel(raw, layout.g, 0) << 8 | ReadChannel(raw, layout.b, 0);
}

void ReadPackedRow(const FormatLayout& layout, const std::uint8_t* row, std::uint32_t width,
                   std::uint32_t* out) {
  for (std::uint32_t x = 0; x < width; ++x) out[x] = ReadPackedPixel(layout, row + x * layout.bytesPerPixel);
}

}  // namespace vela::codec
