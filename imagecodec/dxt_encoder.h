// Our DXT1, DXT3 and DXT5 block encoder.
//
// Colours: a principal-axis fit of the block's colours gives the first endpoints (rounded
// outwards when both round to one 5:6:5 colour); then every pixel takes its palette entry by its
// position along the endpoints' line, the endpoints are solved by least squares for those
// choices, and each channel's pair of 5- or 6-bit values is picked exactly for them. The result
// is scored on the palette exactly as the decoder builds it, with every pixel on its nearest
// entry. Blocks that this leaves far off solve their endpoints again for the scored choices, and
// DXT3/DXT5 blocks still far off start once more from ends nearer the mean; the closest result
// is kept. Single-colour blocks take the best 5:6:5 pair from precomputed tables, and nearly
// flat ones try their mean colour that way too. DXT1 blocks with
// transparent pixels (alpha below 128) use the three-colour mode with index 3 transparent;
// opaque DXT1 blocks that four colours fit poorly try the three-colour mode too and keep it when
// it is closer.
// Alpha: DXT3 rounds to 4 bits; DXT5 fits the eight-value mode to the block's range with one
// least-squares step, tries the six-value mode (explicit 0 and 255) for blocks that hold 0 or
// 255, and keeps the closer.
// Quality and speed against stb_dxt and libsquish: bench/dxt/README.md.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imagecodec/codec_types.h"

namespace vela::codec {

// `pixels` are 16 A8R8G8B8 values, row by row.
void EncodeDxt1Block(const std::uint32_t pixels[16], std::uint8_t out[8]);
void EncodeDxt3Block(const std::uint32_t pixels[16], std::uint8_t out[16]);
void EncodeDxt5Block(const std::uint32_t pixels[16], std::uint8_t out[16]);

// Dispatches on DXT1, DXT3 and DXT5 (other formats write nothing).
void EncodeDxtBlock(PixelFormat format, const std::uint32_t pixels[16], std::uint8_t* out);
// `count` blocks, `out` for each in turn: the same bytes as EncodeDxtBlock on each. DXT3 and DXT5
// colours that take the full fit are fitted several at a time (eight where the processor has
// AVX2, otherwise four).
void EncodeDxtBlocks(PixelFormat format, const std::uint32_t (*pixels)[16], std::size_t count, std::uint8_t* out);

}  // namespace vela::codec
