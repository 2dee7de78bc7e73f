// Endpoint fitting behind the DXT block encoder (see dxt_encoder.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::codec {

struct ColorFit {
  std::uint16_t color0 = 0;
  std::uint16_t color1 = 0;
  std::uint32_t indices = 0;  // two bits per pixel, pixel i at bit 2 i
};

// For DXT1 (`dxt1`), pixels with alpha below 128 must decode transparent: the fit then uses the
// three-colour mode and gives them index 3; an opaque block may use the three-colour mode when
// it is closer. Otherwise (DXT3, DXT5) the block is in four-colour mode with color0 > color1, or
// color0 == color1 and every index 0.
ColorFit FitColorBlock(const std::uint32_t pixels[16], bool dxt1);

// What FitColorBlock(pixels, false) has after its fit from the extent's ends and its scored
// rounds: the endpoints as 5:6:5 colours (not yet ordered), the entries and the squared error.
struct FirstColorFit {
  std::uint16_t color0 = 0;
  std::uint16_t color1 = 0;
  std::uint32_t indices = 0;
  std::uint32_t error = 0;
};

// FitColorBlock(pixels, false) for a block that is due for the restart (far off after the
// first fit, given as `first`): the restart and the block order, without fitting it again.
ColorFit RestartColorBlock(const std::uint32_t pixels[16], const FirstColorFit& first);

// FitColorBlock(blocks[b], false) for `count` blocks, four at a time in the lanes of SSE2
// vectors (dxt_color_fit4.cpp) or eight at a time in those of AVX2 vectors (dxt_color_fit8.cpp,
// only for processors that have it: ProcessorHasAvx2). On photographs the four-block fit takes
// about 0.6 of the time of fitting one block at a time.
void FitColorBlocks4(const std::uint32_t* const* blocks, std::size_t count, ColorFit* fits);
void FitColorBlocks8(const std::uint32_t* const* blocks, std::size_t count, ColorFit* fits);
bool ProcessorHasAvx2();

// True for blocks whose colours span at most two 5:6:5 levels in every channel: one colour or
// nearly flat, which FitColorBlock takes on quick paths of their own and the several-block fits
// would only hand back to it.
bool NarrowColours(const std::uint32_t pixels[16]);

struct AlphaFit {
  std::uint8_t alpha0 = 0;
  std::uint8_t alpha1 = 0;
  std::uint64_t indices = 0;  // three bits per pixel, pixel i at bit 3 i
};

// `pixels` as for FitColorBlock; the alpha of each is fitted.
AlphaFit FitAlphaBlock(const std::uint32_t pixels[16]);

}  // namespace vela::codec
