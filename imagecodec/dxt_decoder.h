// Decoding of DXT1, DXT3 and DXT5 blocks (and DXT2 and DXT4, read as DXT3 and DXT5 without
// undoing the premultiplied alpha) into A8R8G8B8.
//
// The palette follows the common integer rule: in four-colour mode the middle colours are
// (2 c0 + c1) / 3 and (c0 + 2 c1) / 3 of the 8-bit expanded endpoints, rounded down; in DXT1's
// three-colour mode (c0 <= c1) the third is (c0 + c1) / 2 and the fourth transparent black.
// The encoder measures its error against exactly this palette.
#pragma once

#include <cstdint>

#include "imagecodec/codec_types.h"

namespace vela::codec {

// The four colours of a colour block as A8R8G8B8. `allowThreeColor` is true for DXT1, where
// c0 <= c1 selects the three-colour mode; DXT3 and DXT5 always use four colours.
void DecodeColorPalette(std::uint16_t color0, std::uint16_t color1, bool allowThreeColor,
                        std::uint32_t palette[4]);

// The eight alpha values of a DXT5 alpha block.
void DecodeAlphaPalette(std::uint8_t alpha0, std::uint8_t alpha1, std::uint8_t palette[8]);

// One block of the format into 16 pixels, row by row. The format must be DXT1 to DXT5.
void DecodeDxtBlock(PixelFormat format, const std::uint8_t* block, std::uint32_t pixels[16]);

// 5:6:5 to A8R8G8B8 with bit repetition, alpha 0xFF.
std::uint32_t Expand565(std::uint16_t color);

}  // namespace vela::codec
