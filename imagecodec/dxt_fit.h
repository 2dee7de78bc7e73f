// Endpoint fitting behind the DXT block encoder (see dxt_encoder.h).
#pragma once

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

struct AlphaFit {
  std::uint8_t alpha0 = 0;
  std::uint8_t alpha1 = 0;
  std::uint64_t indices = 0;  // three bits per pixel, pixel i at bit 3 i
};

// `pixels` as for FitColorBlock; the alpha of each is fitted.
AlphaFit FitAlphaBlock(const std::uint32_t pixels[16]);

}  // namespace vela::codec
