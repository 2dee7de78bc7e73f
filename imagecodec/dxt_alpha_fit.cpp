// Alpha endpoints of a DXT5 block: both modes tried, the closer kept (see dxt_encoder.h).
#include <algorithm>
#include <cmath>

#include "imagecodec/dxt_decoder.h"
#include "imagecodec/dxt_fit.h"

namespace vela::codec {
namespace {

struct AlphaCandidate {
  AlphaFit fit;
  int error = 0x7FFFFFFF;
};

// Scores the endpoint pair (its order picks the mode) with every pixel on its nearest entry.
void Evaluate(const std::uint8_t alpha[16], int alpha0, int alpha1, AlphaCandidate& best) {
  std::uint8_t palette[8];
  DecodeAlphaPalette(static_cast<std::uint8_t>(alpha0), static_cast<std::uint8_t>(alpha1), palette);
  AlphaCandidate trial;
  trial.fit.alpha0 = static_cast<std::uint8_t>(alpha0);
  trial.fit.alpha1 = static_cast<std::uint8_t>(alpha1);
  trial.error = 0;
  for (int i = 0; i < 16; ++i) {
    int bestDistance = 256 * 256;
    int chosen = 0;
    for (int k = 0; k < 8; ++k) {
      const int d = (alpha[i] - palette[k]) * (alpha[i] - palette[k]);
      if (d < bestDistance) {
        bestDistance = d;
        chosen = k;
      }
    }
    trial.error += bestDistance;
    trial.fit.indices |= static_cast<std::uint64_t>(chosen) << (3 * i);
  }
  if (trial.error < best.error) best = trial;
}

// Position of each palette entry between the endpoints (0 at alpha0, 1 at alpha1), for the
// least-squares step of the eight-value mode.
constexpr float kEightValuePosition[8] = {0.0f, 1.0f, 1 / 7.0f, 2 / 7.0f, 3 / 7.0f, 4 / 7.0f, 5 / 7.0f, 6 / 7.0f};

// One least-squares step of the eight-value mode for the candidate's index choice.
void RefineEightValue(const std::uint8_t alpha[16], AlphaCandidate& best) {
  float aa = 0, bb = 0, ab = 0, ax = 0, bx = 0;
  for (int i = 0; i < 16; ++i) {
    const float t = kEightValuePosition[(best.fit.indices >> (3 * i)) & 7];
    const float a = 1.0f - t, b = t;
    aa += a * a;
    bb += b * b;
    ab += a * b;
    ax += a * alpha[i];
    bx += b * alpha[i];
  }
  const float determinant = aa * bb - ab * ab;
  if (std::fabs(determinant) < 1e-6f) return;
  const int a0 = std::clamp(static_cast<int>(std::lround((ax * bb - bx * ab) / determinant)), 0, 255);
  const int a1 = std::clamp(static_cast<int>(std::lround((bx * aa - ax * ab) / determinant)), 0, 255);
  if (a0 > a1) Evaluate(alpha, a0, a1, best);
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
  AlphaCandidate best;
  if (low == high) {
    Evaluate(alpha, low, low, best);  // six-value mode, every index 0
    return best.fit;
  }
  Evaluate(alpha, high, low, best);
  if (best.error > 0) RefineEightValue(alpha, best);
  if (best.error > 0 && (low == 0 || high == 255)) {
    if (innerLow > innerHigh) {
      Evaluate(alpha, 0, 255, best);  // only 0 and 255: the explicit entries
    } else {
      Evaluate(alpha, innerLow, innerHigh, best);
    }
  }
  return best.fit;
}

}  // namespace vela::codec
