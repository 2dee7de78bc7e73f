// Alpha endpoints of a DXT5 block: the eight-value mode over the block's range, refined once,
// and the six-value mode for blocks that hold 0 or 255; the closer kept (see dxt_encoder.h).
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imagecodec/dxt_fit.h"
#include "imagecodec/simd4.h"

namespace vela::codec {
namespace {

struct AlphaCandidate {
  int alpha0 = 0, alpha1 = 0;
  simd::Int4 chosen[4] = {};  // palette entry per pixel, laid out as AlphaLanes
  int error = 0x7FFFFFFF;
};

// The block's alpha values, pixel i in lane i % 4 of vector i / 4. Floats: their products are
// exact for 8-bit differences and need no integer multiply, which SSE2 lacks for 32-bit lanes.
struct AlphaLanes {
  simd::Float4 value[4];
};

// The decoder's palette for the pair, entries 0 to 3 and 4 to 7: sevenths or fifths between the
// endpoints, truncated as the decoder does ((n + 0.5) / 7 or / 5 never lands on an integer, so
// truncating it is exact), and explicit 0 and 255 in the six-value mode.
void MakeAlphaPalette(int alpha0, int alpha1, simd::Float4 entries[2]) {
  const float a0 = static_cast<float>(alpha0), a1 = static_cast<float>(alpha1);
  const auto truncate = [](simd::Float4 v) {
    return __builtin_convertvector(__builtin_convertvector(v, simd::Int4), simd::Float4);
  };
  if (alpha0 > alpha1) {
    entries[0] = truncate((simd::Float4{7, 0, 6, 5} * a0 + simd::Float4{0, 7, 1, 2} * a1 + 0.5f) * (1.0f / 7.0f));
    entries[1] = truncate((simd::Float4{4, 3, 2, 1} * a0 + simd::Float4{3, 4, 5, 6} * a1 + 0.5f) * (1.0f / 7.0f));
  } else {
    entries[0] = truncate((simd::Float4{5, 0, 4, 3} * a0 + simd::Float4{0, 5, 1, 2} * a1 + 0.5f) * (1.0f / 5.0f));
    const simd::Float4 last = simd::Float4{2, 1, 0, 0} * a0 + simd::Float4{3, 4, 0, 0} * a1;
    const simd::Float4 fifths = truncate((last + 0.5f) * (1.0f / 5.0f));
    entries[1] = simd::Float4{fifths[0], fifths[1], 0.0f, 255.0f};
  }
}

// Scores the endpoint pair (its order picks the mode) with every pixel on its nearest entry
// (the first of equally near ones), four pixels at a time. The squared distance d, an integer
// below 2^16, goes into a float key as d + entry / 16 (exact): one minimum per entry finds both.
void Evaluate(const AlphaLanes& lanes, int alpha0, int alpha1, AlphaCandidate& best) {
  simd::Float4 palette[2];
  MakeAlphaPalette(alpha0, alpha1, palette);
  simd::Float4 nearest[4];
#pragma GCC unroll 8
  for (int k = 0; k < 8; ++k) {
    const simd::Float4 entry = simd::Splat(palette[k / 4][k % 4]);
    for (int v = 0; v < 4; ++v) {
      const simd::Float4 d = lanes.value[v] - entry;
      const simd::Float4 key = d * d + static_cast<float>(k) * (1.0f / 16.0f);
      nearest[v] = k == 0 ? key : simd::Min(key, nearest[v]);
    }
  }
  simd::Int4 total = simd::Splat(0);
  simd::Int4 chosen[4];
  for (int v = 0; v < 4; ++v) {
    const simd::Int4 key = __builtin_convertvector(nearest[v] * 16.0f, simd::Int4);
    chosen[v] = key & 7;
    total += key >> 4;
  }
  const int error = simd::Sum(total);
  if (error >= best.error) return;
  best.error = error;
  best.alpha0 = alpha0;
  best.alpha1 = alpha1;
  for (int v = 0; v < 4; ++v) best.chosen[v] = chosen[v];
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
  const float inverse = 1.0f / determinant;
  const int a0 = static_cast<int>(std::clamp((sax * sbb - sbx * sab) * inverse, 0.0f, 255.0f) + 0.5f);
  const int a1 = static_cast<int>(std::clamp((sbx * saa - sax * sab) * inverse, 0.0f, 255.0f) + 0.5f);
  if (a0 > a1 && (a0 != best.alpha0 || a1 != best.alpha1)) Evaluate(lanes, a0, a1, best);
}

// The least-squares step runs only for blocks whose first fit leaves more than this squared
// error (one level per pixel): below it the step seldom finds anything closer.
constexpr int kRefineThreshold = 16;

}  // namespace

// Every helper inlined, as in FitColorBlock (see there).
[[gnu::flatten]] AlphaFit FitAlphaBlock(const std::uint32_t pixels[16]) {
  // One alpha throughout (every block of an opaque image): six-value mode with entry 0 exact,
  // every index 0. Checked first, as it is the common case and needs none of what follows.
  const std::uint32_t firstAlpha = pixels[0] >> 24;
  simd::Int4 differs = simd::Splat(0);
  for (int v = 0; v < 4; ++v) {
    simd::Int4 four;
    std::memcpy(&four, pixels + 4 * v, sizeof four);
    differs |= four ^ static_cast<std::int32_t>(pixels[0]);
  }
  if (simd::Sum((differs >> 24) & 0xFF) == 0) {
    AlphaFit flat;
    flat.alpha0 = flat.alpha1 = static_cast<std::uint8_t>(firstAlpha);
    return flat;
  }
  AlphaLanes lanes;
  simd::Float4 low = simd::Splat(255.0f), high = simd::Splat(0.0f);  // over all pixels
  simd::Float4 innerLow = low, innerHigh = high;                      // over pixels other than 0 and 255
  for (int v = 0; v < 4; ++v) {
    simd::Int4 pixel;
    std::memcpy(&pixel, pixels + 4 * v, sizeof pixel);
    const simd::Float4 value = __builtin_convertvector((pixel >> 24) & 0xFF, simd::Float4);
    lanes.value[v] = value;
    low = simd::Min(low, value);
    high = simd::Max(high, value);
    const simd::Int4 inner = (value != 0.0f) & (value != 255.0f);
    innerLow = simd::Min(innerLow, simd::Select(inner, value, simd::Splat(255.0f)));
    innerHigh = simd::Max(innerHigh, simd::Select(inner, value, simd::Splat(0.0f)));
  }
  const auto lowest = [](simd::Float4 x) { return static_cast<int>(std::min({x[0], x[1], x[2], x[3]})); };
  const auto highest = [](simd::Float4 x) { return static_cast<int>(std::max({x[0], x[1], x[2], x[3]})); };
  const int lowAlpha = lowest(low), highAlpha = highest(high);
  const int innerLowAlpha = lowest(innerLow), innerHighAlpha = highest(innerHigh);
  AlphaCandidate best;
  Evaluate(lanes, highAlpha, lowAlpha, best);
  if (best.error > kRefineThreshold) RefineEightValue(lanes, best);
  if (best.error > 0 && (lowAlpha == 0 || highAlpha == 255)) {
    if (innerLowAlpha > innerHighAlpha) {
      Evaluate(lanes, 0, 255, best);  // only 0 and 255: the explicit entries
    } else {
      Evaluate(lanes, innerLowAlpha, innerHighAlpha, best);
    }
  }
  AlphaFit fit;
  fit.alpha0 = static_cast<std::uint8_t>(best.alpha0);
  fit.alpha1 = static_cast<std::uint8_t>(best.alpha1);
  for (int v = 0; v < 4; ++v) {
    const simd::Int4 placed = best.chosen[v] << simd::Int4{0, 3, 6, 9};
    fit.indices |= static_cast<std::uint64_t>(simd::Sum(placed)) << (12 * v);
  }
  return fit;
}

}  // namespace vela::codec
