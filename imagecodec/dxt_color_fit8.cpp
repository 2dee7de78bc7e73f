// Four-colour endpoints of eight blocks at once, one block per lane of AVX2 vectors (the body is
// in dxt_color_lanes.h). Compiled with AVX2 and called only where the processor has it
// (dxt_encoder.cpp asks); nothing else may live in this file.
#include <cstddef>
#include <cstring>

#include "imagecodec/dxt_color_lanes.h"
#include "imagecodec/dxt_fit.h"

namespace vela::codec {
namespace {

using simd::Float8;
using simd::Int8;

struct Eight {
  using Float = Float8;
  using Int = Int8;
  static constexpr int kCount = 8;
  static void Transpose(const std::uint32_t* const blocks[8], Lanes<Eight>& lanes);
};

// Row v of blocks b and b + 4 share a vector; the four-by-four turn works within each half, so
// each vector ends up with one pixel of every block, blocks 0 to 7 in lane order.
void Eight::Transpose(const std::uint32_t* const blocks[8], Lanes<Eight>& lanes) {
  Int8 pixel[16];
  for (int v = 0; v < 4; ++v) {
    Int8 row[4];
    for (int b = 0; b < 4; ++b) {
      std::memcpy(&row[b], blocks[b] + 4 * v, 16);
      std::memcpy(reinterpret_cast<char*>(&row[b]) + 16, blocks[b + 4] + 4 * v, 16);
    }
    const Int8 low01 = __builtin_shufflevector(row[0], row[1], 0, 8, 1, 9, 4, 12, 5, 13);
    const Int8 high01 = __builtin_shufflevector(row[0], row[1], 2, 10, 3, 11, 6, 14, 7, 15);
    const Int8 low23 = __builtin_shufflevector(row[2], row[3], 0, 8, 1, 9, 4, 12, 5, 13);
    const Int8 high23 = __builtin_shufflevector(row[2], row[3], 2, 10, 3, 11, 6, 14, 7, 15);
    pixel[4 * v] = __builtin_shufflevector(low01, low23, 0, 1, 8, 9, 4, 5, 12, 13);
    pixel[4 * v + 1] = __builtin_shufflevector(low01, low23, 2, 3, 10, 11, 6, 7, 14, 15);
    pixel[4 * v + 2] = __builtin_shufflevector(high01, high23, 0, 1, 8, 9, 4, 5, 12, 13);
    pixel[4 * v + 3] = __builtin_shufflevector(high01, high23, 2, 3, 10, 11, 6, 7, 14, 15);
  }
  SplitChannels(pixel, lanes);
}

}  // namespace

[[gnu::flatten]] void FitColorBlocks8(const std::uint32_t* const* blocks, std::size_t count, ColorFit* fits) {
  FitColorSets<Eight>(blocks, count, fits);
}

}  // namespace vela::codec
