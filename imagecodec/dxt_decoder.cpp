#include "imagecodec/dxt_decoder.h"

namespace vela::codec {
namespace {

std::uint32_t Channel(std::uint32_t color, int shift) { return (color >> shift) & 0xFFu; }

std::uint32_t Mix(std::uint32_t c0, std::uint32_t c1, std::uint32_t w0, std::uint32_t w1,
                  std::uint32_t divisor) {
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= ((w0 * Channel(c0, shift) + w1 * Channel(c1, shift)) / divisor) << shift;
  }
  return out;
}

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

void DecodeColorBlock(const std::uint8_t* block, bool allowThreeColor, std::uint32_t pixels[16]) {
  std::uint32_t palette[4];
  DecodeColorPalette(Le16(block), Le16(block + 2), allowThreeColor, palette);
  for (int row = 0; row < 4; ++row) {
    const std::uint8_t indices = block[4 + row];
    for (int column = 0; column < 4; ++column) {
      pixels[row * 4 + column] = palette[(indices >> (2 * column)) & 3];
    }
  }
}

void ApplyExplicitAlpha(const std::uint8_t* block, std::uint32_t pixels[16]) {
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t nibble = (block[i / 2] >> (4 * (i & 1))) & 0xFu;
    pixels[i] = (pixels[i] & 0x00FFFFFFu) | (nibble * 17u) << 24;
  }
}

void ApplyInterpolatedAlpha(const std::uint8_t* block, std::uint32_t pixels[16]) {
  std::uint8_t palette[8];
  DecodeAlphaPalette(block[0], block[1], palette);
  std::uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= static_cast<std::uint64_t>(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) {
    const std::uint32_t alpha = palette[(bits >> (3 * i)) & 7];
    pixels[i] = (pixels[i] & 0x00FFFFFFu) | alpha << 24;
  }
}

}  // namespace

std::uint32_t Expand565(std::uint16_t color) {
  const std::uint32_t r = (color >> 11) & 31u, g = (color >> 5) & 63u, b = color & 31u;
  return 0xFF000000u | ((r << 3) | (r >> 2)) << 16 | ((g << 2) | (g >> 4)) << 8 | ((b << 3) | (b >> 2));
}

void DecodeColorPalette(std::uint16_t color0, std::uint16_t color1, bool allowThreeColor,
                        std::uint32_t palette[4]) {
  palette[0] = Expand565(color0);
  palette[1] = Expand565(color1);
  if (color0 > color1 || !allowThreeColor) {
    palette[2] = Mix(palette[0], palette[1], 2, 1, 3);
    palette[3] = Mix(palette[0], palette[1], 1, 2, 3);
  } else {
    palette[2] = Mix(palette[0], palette[1], 1, 1, 2);
    palette[3] = 0;
  }
}

void DecodeAlphaPalette(std::uint8_t alpha0, std::uint8_t alpha1, std::uint8_t palette[8]) {
  palette[0] = alpha0;
  palette[1] = alpha1;
  if (alpha0 > alpha1) {
    for (int i = 1; i < 7; ++i) palette[i + 1] = static_cast<std::uint8_t>(((7 - i) * alpha0 + i * alpha1) / 7);
  } else {
    for (int i = 1; i < 5; ++i) palette[i + 1] = static_cast<std::uint8_t>(((5 - i) * alpha0 + i * alpha1) / 5);
    palette[6] = 0;
    palette[7] = 255;
  }
}

void DecodeDxtBlock(PixelFormat format, const std::uint8_t* block, std::uint32_t pixels[16]) {
  switch (format) {
    case PixelFormat::kDxt1:
      DecodeColorBlock(block, true, pixels);
      return;
    case PixelFormat::kDxt2:
    case PixelFormat::kDxt3:
      DecodeColorBlock(block + 8, false, pixels);
      ApplyExplicitAlpha(block, pixels);
      return;
    default:
      DecodeColorBlock(block + 8, false, pixels);
      ApplyInterpolatedAlpha(block, pixels);
      return;
  }
}

}  // namespace vela::codec
