// Alpha endpoints of a DXT5 block: both modes tried, the closer kept (see dxt_encoder.h).
#include <algorithm>
#include <cmath>

#include "imagecodec/dxt_decoder.h"
#include "imagecodec/dxt_fit.h"
#include "imagecodec/simd4.h"

namespace vela::codec {
namespace {

struct AlphaCandidate {
  AlphaFit fit;
  simd::Int4 chosen[4] = {};  // palette entry per pixel, laid out as AlphaLanes
  int error = 0x7FFFFFFF;
};

// The block's alpha values, pixel i in lane i % 4 of vector i / 4. Floats: their products are
// exact for 8-bit differences and need no integer multiply, which SSE2 lacks for 32-bit lanes.
struct AlphaLanes {
  simd::Float4 value[4];
};

// Scores the endpoint pair (its order picks the mode) with every pixel on its nearest entry
// (the first of equally near ones), four pixels at a time.
void Evaluate(const AlphaLanes& lanes, int alpha0, int alpha1, AlphaCandidate& best) {
  std::uint8_t palette[8];
  DecodeAlphaPalette(static_cast<std::uint8_t>(alpha0), static_cast<std::uint8_t>(alpha1), palette);
  simd::Float4 entries[8];
  for (int k = 0; k < 8; ++k) entries[k] = simd::Splat(static_cast<float>(palette[k]));
  simd::Float4 total = simd::Splat(0.0f);
  simd::Int4 chosen[4];
  for (int v = 0; v < 4; ++v) {
    simd::Float4 d = lanes.value[v] - entries[0];
    simd::Float4 nearest = d * d;
    simd::Int4 index = simd::Splat(0);
    for (int k = 1; k < 8; ++k) {
      d = lanes.value[v] - entries[k];
      const simd::Float4 distance = d * d;
      const simd::Int4 closer = distance < nearest;
      nearest = simd::Select(closer, distance, nearest);
      index = simd::Select(closer, simd::Splat(k), index);
    }
    total += nearest;
    chosen[v] = index;
  }
  const int error = static_cast<int>(simd::Sum(total));
  if (error >= best.error) return;
  best.error = error;
  best.fit.alpha0 = static_cast<std::uint8_t>(alpha0);
  best.fit.alpha1 = static_cast<std::uint8_t>(alpha1);
  best.fit.indices = 0;
  for (int v = 0; v < 4; ++v) {
    best.chosen[v] = chosen[v];
    const simd::Int4 placed = chosen[v] << simd::Int4{0, 3, 6, 9};
    best.fit.indices |= static_cast<std::uint64_t>(simd::Sum(placed)) << (12 * v);
  }
}

// One least-squares step of the eight-value mode for the candidate's index choice: entry 0 sits
// at alpha0, entry 1 at alpha1 and entry k of the others k - 1 sevenths of the way.
void RefineEightValue(const AlphaLanes& lanes, AlphaCandidate& best) {
  simd::Float4 aa = simd::Splat(0.0f), bb = aa, ab = aa, ax = aa, bx = aa;
  for (int v = 0; v < 4; ++v) {
    const simd::Int4 index = best.chosen[v];
    const simd::Float4 step = __builtin_convertvector(index - 1, simd::Float4) * (1.0f / 7.0f);
    const simd::Float4 t = simd::Select(index == 0, simd::Splat(0.0f), simd::Select(index == 1, simd::Splat(1.0f), step));
    const simd::Float4 a = 1.0f - t;
    aa += a * a;
    bb += t * t;
    ab += a * t;
    ax += a * lanes.value[v];
    bx += t * lanes.value[v];
  }
  const float saa = simd::Sum(aa), sbb = simd::Sum(bb), sab = simd::Sum(ab), sax = simd::Sum(ax), sbx = simd::Sum(bx);
  const float determinant = saa * sbb - sab * sab;
  if (std::fabs(determinant) < 1e-6f) return;
  const int a0 = std::clamp(static_cast<int>(std::lround((sax * sbb - sbx * sab) / determinant)), 0, 255);
  const int a1 = std::clamp(static_cast<int>(std::lround((sbx * saa - sax * sab) / determinant)), 0, 255);
  if (a0 > a1) Evaluate(lanes, a0, a1, best);
}

}  // namespace

AlphaFit FitAlphaBlock(const std::uint8_t alpha[16]) {
  int low = 255, high = 0;          // over all pixels
  int innerLow = 255, innerHigh = 0;  // over pixels other than 0 and 255
  for (int i = 0; i < 16; ++i) {
    low = std::min<int>(low, alpha[i]);
    high = std::max<int>(high, alpha[i]);
    if (alpha[i] != 0 && alpha[i] != 255) {
      innerLow = std::min<int>(innerLow, alpha[i]);
      innerHigh = std::max<int>(innerHigh, alpha[i]);
    }
  }
  AlphaLanes lanes;
  for (int i = 0; i < 16; ++i) lanes.value[i / 4][i % 4] = alpha[i];
  AlphaCandidate best;
  if (low == high) {
    Evaluate(lanes, low, low, best);  // six-value mode, every index 0
    return best.fit;
  }
  Evaluate(lanes, high, low, best);
  if (best.error > 0) RefineEightValue(lanes, best);
  if (best.error > 0 && (low == 0 || high == 255)) {
    if (innerLow > innerHigh) {
      Evaluate(lanes, 0, 255, best);  // only 0 and 255: the explicit entries
    } else {
      Evaluate(lanes, innerLow, innerHigh, best);
    }
  }
  return best.fit;
}

}  // namespace vela::codec
