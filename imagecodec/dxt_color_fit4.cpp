// Four-colour endpoints of four blocks at once, one block per lane of SSE2 vectors (the body is
// in dxt_color_lanes.h), and the test for blocks that do not take that path.
#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imagecodec/dxt_color_lanes.h"
#include "imagecodec/dxt_fit.h"
#include "imagecodec/simd4.h"

namespace vela::codec {
namespace {

using simd::Float4;
using simd::Int4;

struct Four {
  using Float = Float4;
  using Int = Int4;
  static constexpr int kCount = 4;
  static void Transpose(const std::uint32_t* const blocks[4], Lanes<Four>& lanes);
};

// Rows of four pixels of each block, turned so that each vector holds one pixel of every block.
void Four::Transpose(const std::uint32_t* const blocks[4], Lanes<Four>& lanes) {
  Int4 pixel[16];
  for (int v = 0; v < 4; ++v) {
    Int4 row[4];
    for (int b = 0; b < 4; ++b) std::memcpy(&row[b], blocks[b] + 4 * v, sizeof row[b]);
    const Int4 low01 = __builtin_shufflevector(row[0], row[1], 0, 4, 1, 5);
    const Int4 high01 = __builtin_shufflevector(row[0], row[1], 2, 6, 3, 7);
    const Int4 low23 = __builtin_shufflevector(row[2], row[3], 0, 4, 1, 5);
    const Int4 high23 = __builtin_shufflevector(row[2], row[3], 2, 6, 3, 7);
    pixel[4 * v] = __builtin_shufflevector(low01, low23, 0, 1, 4, 5);
    pixel[4 * v + 1] = __builtin_shufflevector(low01, low23, 2, 3, 6, 7);
    pixel[4 * v + 2] = __builtin_shufflevector(high01, high23, 0, 1, 4, 5);
    pixel[4 * v + 3] = __builtin_shufflevector(high01, high23, 2, 3, 6, 7);
  }
  SplitChannels(pixel, lanes);
}

}  // namespace

// Every helper inlined, as in FitColorBlock (see there).
[[gnu::flatten]] void FitColorBlocks4(const std::uint32_t* const* blocks, std::size_t count, ColorFit* fits) {
  FitColorSets<Four>(blocks, count, fits);
}

bool NarrowColours(const std::uint32_t pixels[16]) {
  std::uint32_t range = 0;  // per byte: blue, green, red, alpha
#if defined(__SSE2__)
  __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)), high = low;
  for (int v = 1; v < 4; ++v) {
    const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4 * v));
    low = _mm_min_epu8(low, four);
    high = _mm_max_epu8(high, four);
  }
  low = _mm_min_epu8(low, _mm_shuffle_epi32(low, 0x4E));
  low = _mm_min_epu8(low, _mm_shuffle_epi32(low, 0xB1));
  high = _mm_max_epu8(high, _mm_shuffle_epi32(high, 0x4E));
  high = _mm_max_epu8(high, _mm_shuffle_epi32(high, 0xB1));
  range = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_subs_epu8(high, low)));
#else
  for (int shift = 0; shift < 24; shift += 8) {
    std::uint32_t low = 255, high = 0;
    for (int i = 0; i < 16; ++i) {
      low = std::min(low, (pixels[i] >> shift) & 0xFF);
      high = std::max(high, (pixels[i] >> shift) & 0xFF);
    }
    range |= (high - low) << shift;
  }
#endif
  return (range & 0xFF) <= 16 && ((range >> 8) & 0xFF) <= 8 && ((range >> 16) & 0xFF) <= 16;
}

}  // namespace vela::codec
