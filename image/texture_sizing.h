// The arithmetic of texture creation and filling, free of Direct3D so that it is tested
// natively: the power-of-two size of a texture for an image, and the 32-bit word that Fill
// repeats over a level for a colour in a given pixel format.
#pragma once

#include <cstdint>

namespace vela {

// The smallest power of two that is at least `imageSize` (1 for 0 and 1), halved while it is
// greater than `deviceMaximum` (a maximum of 0 leaves it alone).
std::uint32_t TextureSide(std::uint32_t imageSize, std::uint32_t deviceMaximum);

// The fill word of an A8R8G8B8 colour for a D3DFORMAT: the colour itself for 32-bit formats,
// a 16-bit pixel doubled into both halves for R5G6B5, X1R5G5B5/A1R5G5B5 and A4R4G4B4/X4R4G4B4,
// and 0 for every other format.
std::uint32_t TextureFillWord(std::uint32_t format, std::uint32_t colour);

// True for the block-compressed formats, whose pitch counts rows of 4 x 4 blocks.
bool IsBlockCompressed(std::uint32_t format);

}  // namespace vela
