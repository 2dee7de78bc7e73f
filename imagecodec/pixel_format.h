// Memory layouts of the pixel formats that the codec reads and writes.
//
// Packed formats are described by their channels' bit widths and positions inside a little-endian
// pixel of 1 to 4 bytes; the block-compressed formats by their block size. Reading expands a
// channel to 8 bits by repeating its bits (5-bit 0x1F is 0xFF), the inverse of what the writer
// quantises to, so a colour that a format holds exactly survives a round trip.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagecodec/codec_types.h"

namespace vela::codec {

struct ChannelLayout {
  std::uint8_t bits = 0;  // 0: the format has no such channel
  std::uint8_t shift = 0;
};

struct FormatLayout {
  PixelFormat format = PixelFormat::kUnknown;
  std::uint8_t bytesPerPixel = 0;  // 0 for block-compressed formats
  std::uint8_t bytesPerBlock = 0;  // bytes of one 4 x 4 block; 0 for packed formats
  ChannelLayout a, r, g, b;
  std::uint32_t unusedBits = 0;    // the X bits, written as ones
};

// The layout of a format that the codec can read and write, or null.
const FormatLayout* FindFormatLayout(PixelFormat format);

inline bool IsBlockCompressed(const FormatLayout& layout) { return layout.bytesPerBlock != 0; }

// The packed format whose channel masks these are (as DDS and BMP headers give them), or
// kUnknown. `rgbMasks` false matches the alpha-only formats.
PixelFormat FindFormatByMasks(std::uint32_t bitCount, std::uint32_t redMask,
                              std::uint32_t greenMask, std::uint32_t blueMask,
                              std::uint32_t alphaMask);

// Bytes of one row of pixels, or of one row of blocks for block-compressed formats; false when
// the width is 0 or the size does not fit.
bool MinimumPitch(const FormatLayout& layout, std::uint32_t width, std::size_t& out);
// Rows of the format: the height, or the number of block rows.
std::uint32_t StorageRows(const FormatLayout& layout, std::uint32_t height);

// Expands a `bits`-wide value to 8 bits by bit repetition (bits 1 to 8); values wider than 8
// bits are rounded down to 8.
std::uint32_t ExpandTo8(std::uint32_t value, unsigned bits);

// One packed pixel (the bytes at `pixel`) as A8R8G8B8; absent alpha reads 0xFF, absent colour 0.
std::uint32_t ReadPackedPixel(const FormatLayout& layout, const std::uint8_t* pixel);

// Converts `width` packed pixels at `row` into A8R8G8B8.
void ReadPackedRow(const FormatLayout& layout, const std::uint8_t* row, std::uint32_t width,
                   std::uint32_t* out);

}  // namespace vela::codec
