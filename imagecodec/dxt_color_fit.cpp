// Colour endpoints of a DXT block: principal axis, least-squares refinement, scoring on the
// quantised palette (see dxt_encoder.h).
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "imagecodec/dxt_fit.h"
#include "imagecodec/simd4.h"

namespace vela::codec {
namespace {

using simd::Float4;
using simd::Int4;

enum class Mode { kFourColor, kThreeColor };

int Expand5(int q) { return (q << 3) | (q >> 2); }
int Expand6(int q) { return (q << 2) | (q >> 4); }
int Quantize(float value, int top) {
  const float scale = top == 63 ? 63.0f / 255.0f : 31.0f / 255.0f;
  return std::clamp(static_cast<int>(value * scale + 0.5f), 0, top);
}

struct Endpoint {
  int r = 0, g = 0, b = 0;  // 5, 6 and 5 bits
  std::uint16_t Packed() const { return static_cast<std::uint16_t>(r << 11 | g << 5 | b); }
};

Endpoint QuantizeEndpoint(const float color[3]) {
  return {Quantize(color[0], 31), Quantize(color[1], 63), Quantize(color[2], 31)};
}

// The block's 16 pixels; transparent ones have weight 0 and take no part in the fit.
struct Points {
  Float4 r[4], g[4], b[4], weight[4];  // pixel i is lane i % 4 of vector i / 4
  Int4 mask[4];                        // -1 for the pixels that take part, 0 for the others
  // Red | green << 16 and blue | 1 << 16 of the pixels that take part, 0 for the others: sums
  // of up to 16 such values keep every field apart, so two additions count a pixel and add its
  // three channels.
  Int4 redGreen[4], blueCount[4];
  std::int32_t totalRedGreen = 0, totalBlueCount = 0;
  int count = 0;  // pixels that take part
};

// Per palette entry: how many pixels chose it and the sums of their channels. Everything the
// least-squares step and the exact quantised choice need.
struct EntrySums {
  std::int32_t count[4];
  std::int32_t sum[3][4];
};

// Sums by the two bits of the entry number: pixels with bit 0 set, with bit 1 set and with both;
// the sums of each entry follow from these and the block's totals.
EntrySums SumByEntry(const Points& points, const Int4 selection[4]) {
  Int4 low[2] = {simd::Splat(0), simd::Splat(0)}, high[2] = {low[0], low[0]}, both[2] = {low[0], low[0]};
  for (int v = 0; v < 4; ++v) {
    const Int4 bit0 = -(selection[v] & 1), bit1 = -((selection[v] >> 1) & 1), bits = bit0 & bit1;
    low[0] += points.redGreen[v] & bit0;
    low[1] += points.blueCount[v] & bit0;
    high[0] += points.redGreen[v] & bit1;
    high[1] += points.blueCount[v] & bit1;
    both[0] += points.redGreen[v] & bits;
    both[1] += points.blueCount[v] & bits;
  }
  std::int32_t packed[2][4];
  for (int half = 0; half < 2; ++half) {
    const std::int32_t total = half == 0 ? points.totalRedGreen : points.totalBlueCount;
    const std::int32_t one = simd::Sum(low[half]), two = simd::Sum(high[half]), three = simd::Sum(both[half]);
    packed[half][0] = total - one - two + three;
    packed[half][1] = one - three;
    packed[half][2] = two - three;
    packed[half][3] = three;
  }
  EntrySums sums;
  for (int k = 0; k < 4; ++k) {
    sums.sum[0][k] = packed[0][k] & 0xFFFF;
    sums.sum[1][k] = packed[0][k] >> 16;
    sums.sum[2][k] = packed[1][k] & 0xFFFF;
    sums.count[k] = packed[1][k] >> 16;
  }
  return sums;
}

struct Palette {
  float r[4], g[4], b[4];
};

Palette MakePalette(const Endpoint& e0, const Endpoint& e1, Mode mode) {
  const int c0[3] = {Expand5(e0.r), Expand6(e0.g), Expand5(e0.b)};
  const int c1[3] = {Expand5(e1.r), Expand6(e1.g), Expand5(e1.b)};
  int entries[4][3];
  for (int c = 0; c < 3; ++c) {
    entries[0][c] = c0[c];
    entries[1][c] = c1[c];
    if (mode == Mode::kFourColor) {
      entries[2][c] = (2 * c0[c] + c1[c]) / 3;
      entries[3][c] = (c0[c] + 2 * c1[c]) / 3;
    } else {
      entries[2][c] = (c0[c] + c1[c]) / 2;
      entries[3][c] = entries[2][c];  // never chosen: the three-colour mode has no fourth colour
    }
  }
  Palette palette;
  for (int k = 0; k < 4; ++k) {
    palette.r[k] = static_cast<float>(entries[k][0]);
    palette.g[k] = static_cast<float>(entries[k][1]);
    palette.b[k] = static_cast<float>(entries[k][2]);
  }
  return palette;
}

struct Candidate {
  Endpoint e0, e1;
  Mode mode = Mode::kFourColor;
  float error = 3.0e38f;
  Int4 selection[4] = {};  // palette entry per pixel, laid out as the points
};

// Gives every pixel its nearest palette entry; answers the summed squared error of the pixels
// that take part.
float AssignNearest(const Points& points, const Palette& palette, Mode mode, Int4 chosen[4]) {
  const int entries = mode == Mode::kFourColor ? 4 : 3;
  Float4 total = simd::Splat(0.0f);
  for (int v = 0; v < 4; ++v) {
    Float4 dr = points.r[v] - palette.r[0], dg = points.g[v] - palette.g[0], db = points.b[v] - palette.b[0];
    Float4 best = dr * dr + dg * dg + db * db;
    Int4 index = simd::Splat(0);
    for (int k = 1; k < entries; ++k) {
      dr = points.r[v] - palette.r[k], dg = points.g[v] - palette.g[k], db = points.b[v] - palette.b[k];
      const Float4 d = dr * dr + dg * dg + db * db;
      const Int4 closer = d < best;
      best = simd::Select(closer, d, best);
      index = simd::Select(closer, simd::Splat(k), index);
    }
    chosen[v] = index;
    total += best * points.weight[v];
  }
  return simd::Sum(total);
}

void Evaluate(const Points& points, const Endpoint& e0, const Endpoint& e1, Mode mode, Candidate& best) {
  Candidate trial;
  trial.e0 = e0;
  trial.e1 = e1;
  trial.mode = mode;
  trial.error = AssignNearest(points, MakePalette(e0, e1, mode), mode, trial.selection);
  if (trial.error < best.error) best = trial;
}

// Weight of endpoint 0 in each palette entry.
constexpr float kFourColorWeights[4] = {1.0f, 0.0f, 2.0f / 3.0f, 1.0f / 3.0f};
constexpr float kThreeColorWeights[4] = {1.0f, 0.0f, 0.5f, 0.5f};

// Endpoints that minimise the squared error for a fixed choice of palette entries; false when
// the choice does not determine them (every pixel on one entry).
bool SolveEndpoints(const EntrySums& sums, Mode mode, float e0[3], float e1[3]) {
  const float* weights = mode == Mode::kFourColor ? kFourColorWeights : kThreeColorWeights;
  float aa = 0, bb = 0, ab = 0;
  float ax[3] = {0, 0, 0}, bx[3] = {0, 0, 0};
  for (int k = 0; k < 4; ++k) {
    const float a = weights[k], b = 1.0f - a, n = static_cast<float>(sums.count[k]);
    aa += n * a * a;
    bb += n * b * b;
    ab += n * a * b;
    for (int c = 0; c < 3; ++c) {
      ax[c] += a * static_cast<float>(sums.sum[c][k]);
      bx[c] += b * static_cast<float>(sums.sum[c][k]);
    }
  }
  const float determinant = aa * bb - ab * ab;
  if (std::fabs(determinant) < 1e-3f) return false;
  const float inverse = 1.0f / determinant;
  for (int c = 0; c < 3; ++c) {
    e0[c] = std::clamp((ax[c] * bb - bx[c] * ab) * inverse, 0.0f, 255.0f);
    e1[c] = std::clamp((bx[c] * aa - ax[c] * ab) * inverse, 0.0f, 255.0f);
  }
  return true;
}

struct Statistics {
  float mean[3] = {0, 0, 0};
  float axis[3] = {0, 0, 0};
  float low = 0, high = 0;  // extent of the pixels along the axis, from the mean
  bool flat = false;
  int flatColor[3] = {0, 0, 0};
};

Float4 Min(Float4 a, Float4 b) { return simd::Select(a < b, a, b); }
Float4 Max(Float4 a, Float4 b) { return simd::Select(a > b, a, b); }
float Min(Float4 v) { return std::min(std::min(v[0], v[1]), std::min(v[2], v[3])); }
float Max(Float4 v) { return std::max(std::max(v[0], v[1]), std::max(v[2], v[3])); }

// Mean, direction of the largest spread (power iteration on the covariance) and the extent.
Statistics Analyse(const Points& points) {
  Statistics s;
  const Float4* channels[3] = {points.r, points.g, points.b};
  bool flat = true;
  for (int c = 0; c < 3; ++c) {
    Float4 low = simd::Splat(255.0f), high = simd::Splat(0.0f), sum = simd::Splat(0.0f);
    for (int v = 0; v < 4; ++v) {
      low = Min(low, simd::Select(points.mask[v], channels[c][v], simd::Splat(255.0f)));
      high = Max(high, simd::Select(points.mask[v], channels[c][v], simd::Splat(0.0f)));
      sum += channels[c][v] * points.weight[v];
    }
    s.mean[c] = simd::Sum(sum) / static_cast<float>(points.count);
    s.flatColor[c] = static_cast<int>(Min(low));
    flat = flat && Min(low) == Max(high);
  }
  if (flat) {
    s.flat = true;
    return s;
  }
  Float4 cov[6];  // rr rg rb gg gb bb
  for (Float4& c : cov) c = simd::Splat(0.0f);
  for (int v = 0; v < 4; ++v) {
    const Float4 r = (points.r[v] - s.mean[0]) * points.weight[v];
    const Float4 g = (points.g[v] - s.mean[1]) * points.weight[v];
    const Float4 b = (points.b[v] - s.mean[2]) * points.weight[v];
    cov[0] += r * r;
    cov[1] += r * g;
    cov[2] += r * b;
    cov[3] += g * g;
    cov[4] += g * b;
    cov[5] += b * b;
  }
  float k[6];
  for (int i = 0; i < 6; ++i) k[i] = simd::Sum(cov[i]);
  // Start from the covariance row of the largest variance: never orthogonal to the answer.
  float x0, y0, z0;
  if (k[0] >= k[3] && k[0] >= k[5]) {
    x0 = k[0], y0 = k[1], z0 = k[2];
  } else if (k[3] >= k[5]) {
    x0 = k[1], y0 = k[3], z0 = k[4];
  } else {
    x0 = k[2], y0 = k[4], z0 = k[5];
  }
  // Four steps without normalising in between: the covariance of 8-bit colours keeps the
  // products far inside the float range.
  for (int iteration = 0; iteration < 4; ++iteration) {
    const float x = k[0] * x0 + k[1] * y0 + k[2] * z0;
    const float y = k[1] * x0 + k[3] * y0 + k[4] * z0;
    const float z = k[2] * x0 + k[4] * y0 + k[5] * z0;
    x0 = x, y0 = y, z0 = z;
  }
  const float largest = std::max({std::fabs(x0), std::fabs(y0), std::fabs(z0)});
  if (largest > 0.0f && std::isfinite(largest)) {
    x0 /= largest, y0 /= largest, z0 /= largest;
    const float inverse = 1.0f / std::sqrt(x0 * x0 + y0 * y0 + z0 * z0);
    s.axis[0] = x0 * inverse, s.axis[1] = y0 * inverse, s.axis[2] = z0 * inverse;
  } else {
    s.axis[0] = s.axis[1] = s.axis[2] = 0.57735f;
  }
  Float4 low = simd::Splat(0.0f), high = simd::Splat(0.0f);
  for (int v = 0; v < 4; ++v) {
    const Float4 t = (points.r[v] - s.mean[0]) * s.axis[0] + (points.g[v] - s.mean[1]) * s.axis[1] +
                     (points.b[v] - s.mean[2]) * s.axis[2];
    low = Min(low, simd::Select(points.mask[v], t, simd::Splat(0.0f)));
    high = Max(high, simd::Select(points.mask[v], t, simd::Splat(0.0f)));
  }
  s.low = Min(low);
  s.high = Max(high);
  return s;
}

// Best pair of 5- or 6-bit endpoints for one channel value, per mode: for four colours the value
// sits at the 2/3 : 1/3 entry, for three colours at the midpoint.
struct SingleColorTable {
  std::uint8_t pair[256][2];
};

SingleColorTable MakeSingleColorTable(int bits, Mode mode) {
  // Per value an endpoint pair can produce: the closest pair making it, and the first such pair
  // in the order a, then b.
  const int top = (1 << bits) - 1;
  int spread[256], order[256];
  std::uint8_t pair[256][2] = {};
  std::fill_n(spread, 256, INT_MAX);
  std::fill_n(order, 256, INT_MAX);
  for (int a = 0; a <= top; ++a) {
    for (int b = 0; b <= top; ++b) {
      const int ea = bits == 5 ? Expand5(a) : Expand6(a);
      const int eb = bits == 5 ? Expand5(b) : Expand6(b);
      const int mixed = mode == Mode::kFourColor ? (2 * ea + eb) / 3 : (ea + eb) / 2;
      if (std::abs(a - b) < spread[mixed]) {
        spread[mixed] = std::abs(a - b);
        order[mixed] = a * 64 + b;
        pair[mixed][0] = static_cast<std::uint8_t>(a);
        pair[mixed][1] = static_cast<std::uint8_t>(b);
      }
    }
  }
  SingleColorTable table;
  for (int value = 0; value < 256; ++value) {
    // Prefer close endpoints on ties: the pair then also suits slightly different pixels.
    int bestError = INT_MAX, bestOrder = INT_MAX;
    for (int mixed = 0; mixed < 256; ++mixed) {
      if (spread[mixed] == INT_MAX) continue;
      const int error = std::abs(mixed - value) * 64 + spread[mixed];
      if (error < bestError || (error == bestError && order[mixed] < bestOrder)) {
        bestError = error;
        bestOrder = order[mixed];
        table.pair[value][0] = pair[mixed][0];
        table.pair[value][1] = pair[mixed][1];
      }
    }
  }
  return table;
}

struct SingleColorTables {
  SingleColorTable five[2];
  SingleColorTable six[2];
};

const SingleColorTables& Tables() {
  static const SingleColorTables tables = {
      {MakeSingleColorTable(5, Mode::kFourColor), MakeSingleColorTable(5, Mode::kThreeColor)},
      {MakeSingleColorTable(6, Mode::kFourColor), MakeSingleColorTable(6, Mode::kThreeColor)}};
  return tables;
}

void FitSingleColor(const Points& points, const int rgb[3], Mode mode, Candidate& best) {
  const int m = mode == Mode::kFourColor ? 0 : 1;
  const SingleColorTables& tables = Tables();
  const Endpoint e0{tables.five[m].pair[rgb[0]][0], tables.six[m].pair[rgb[1]][0], tables.five[m].pair[rgb[2]][0]};
  const Endpoint e1{tables.five[m].pair[rgb[0]][1], tables.six[m].pair[rgb[1]][1], tables.five[m].pair[rgb[2]][1]};
  Evaluate(points, e0, e1, mode, best);
}

// Refinement rounds per mode: the third still helps a little, more do not.
constexpr int kIterations = 3;
// Opaque DXT1 blocks try the three-colour mode only when four colours leave more than this
// squared error per pixel: below it the three-colour mode seldom wins, and by little (the trial
// costs as much as the four-colour fit).
constexpr int kThreeColorThreshold = 64;

// For fixed palette choices the squared error separates by channel, and for one channel it
// depends only on how many pixels chose each entry and on their sum. So each channel's pair of
// quantised endpoint values is chosen exactly, between the two levels around each endpoint of
// the least-squares answer.
// Expanded endpoint values and the two middle entries, for every pair of 5-bit and of 6-bit
// endpoints, in four-colour and in three-colour mode.
struct MiddleEntries {
  std::uint8_t five[2][32][32][2];
  std::uint8_t six[2][64][64][2];
};

MiddleEntries MakeMiddleEntries() {
  MiddleEntries table;
  for (int mode = 0; mode < 2; ++mode) {
    for (int a = 0; a < 64; ++a) {
      for (int b = 0; b < 64; ++b) {
        for (int bits : {5, 6}) {
          if (bits == 5 && (a > 31 || b > 31)) continue;
          const int ea = bits == 5 ? Expand5(a) : Expand6(a), eb = bits == 5 ? Expand5(b) : Expand6(b);
          std::uint8_t* out = bits == 5 ? table.five[mode][a][b] : table.six[mode][a][b];
          out[0] = static_cast<std::uint8_t>(mode == 0 ? (2 * ea + eb) / 3 : (ea + eb) / 2);
          out[1] = static_cast<std::uint8_t>(mode == 0 ? (ea + 2 * eb) / 3 : (ea + eb) / 2);
        }
      }
    }
  }
  return table;
}

const MiddleEntries& Middles() {
  static const MiddleEntries table = MakeMiddleEntries();
  return table;
}

// One channel: the pair among the two levels around each endpoint's exact value whose palette
// leaves the smallest squared error, less the pixels' own sum of squares (which all pairs share).
template <int kBits>
void ChooseChannel(const std::int32_t count[4], const std::int32_t total[4], const std::uint8_t (&middles)[1 << kBits][1 << kBits][2],
                   float e0, float e1, int& q0, int& q1) {
  constexpr int kTop = (1 << kBits) - 1;
  constexpr float kScale = static_cast<float>(kTop) / 255.0f;
  const int low0 = std::min(static_cast<int>(e0 * kScale), kTop - 1);
  const int low1 = std::min(static_cast<int>(e1 * kScale), kTop - 1);
  const auto expand = [](int q) { return kBits == 5 ? Expand5(q) : Expand6(q); };
  std::int32_t errorA[2], errorB[2];
  for (int i = 0; i < 2; ++i) {
    const std::int32_t va = expand(low0 + i), vb = expand(low1 + i);
    errorA[i] = va * (count[0] * va - 2 * total[0]);
    errorB[i] = vb * (count[1] * vb - 2 * total[1]);
  }
  std::int32_t bestError = INT32_MAX;
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 2; ++j) {
      const std::uint8_t* mid = middles[low0 + i][low1 + j];
      const std::int32_t v2 = mid[0], v3 = mid[1];
      const std::int32_t error =
          errorA[i] + errorB[j] + v2 * (count[2] * v2 - 2 * total[2]) + v3 * (count[3] * v3 - 2 * total[3]);
      if (error < bestError) {
        bestError = error;
        q0 = low0 + i;
        q1 = low1 + j;
      }
    }
  }
}

void ChooseQuantized(const EntrySums& sums, Mode mode, const float e0[3], const float e1[3], Endpoint& q0,
                     Endpoint& q1) {
  const MiddleEntries& middles = Middles();
  const int m = mode == Mode::kFourColor ? 0 : 1;
  ChooseChannel<5>(sums.count, sums.sum[0], middles.five[m], e0[0], e1[0], q0.r, q1.r);
  ChooseChannel<6>(sums.count, sums.sum[1], middles.six[m], e0[1], e1[1], q0.g, q1.g);
  ChooseChannel<5>(sums.count, sums.sum[2], middles.five[m], e0[2], e1[2], q0.b, q1.b);
}

bool SameEndpoints(const Endpoint& a0, const Endpoint& a1, const Endpoint& b0, const Endpoint& b1) {
  return a0.Packed() == b0.Packed() && a1.Packed() == b1.Packed();
}

// Palette choices by position along the line between the endpoints: for four colours the
// palette is that line cut in thirds (up to rounding), for three colours in halves. Much cheaper
// than comparing distances, and as good for steering the refinement; scores are exact.
void AssignByProjection(const Points& points, const Endpoint& e0, const Endpoint& e1, Mode mode, Int4 chosen[4]) {
  const float c0[3] = {static_cast<float>(Expand5(e0.r)), static_cast<float>(Expand6(e0.g)), static_cast<float>(Expand5(e0.b))};
  const float d[3] = {static_cast<float>(Expand5(e1.r)) - c0[0], static_cast<float>(Expand6(e1.g)) - c0[1],
                      static_cast<float>(Expand5(e1.b)) - c0[2]};
  const float length = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
  const float steps = mode == Mode::kFourColor ? 3.0f : 2.0f;
  const float scale = length > 0.0f ? steps / length : 0.0f;
  for (int v = 0; v < 4; ++v) {
    const Float4 t = ((points.r[v] - c0[0]) * d[0] + (points.g[v] - c0[1]) * d[1] + (points.b[v] - c0[2]) * d[2]) * scale;
    Int4 step = __builtin_convertvector(t + 0.5f, Int4);  // truncation: t is clamped below
    step = simd::Select(t < 0.0f, simd::Splat(0), step);
    step = simd::Select(step > static_cast<std::int32_t>(steps), simd::Splat(static_cast<std::int32_t>(steps)), step);
    // Steps from endpoint 0: four colours 0, 2, 3, 1; three colours 0, 2, 1.
    const Int4 last = simd::Select(step == static_cast<std::int32_t>(steps), simd::Splat(1), simd::Splat(0));
    const Int4 middle = mode == Mode::kFourColor ? simd::Select(step == 2, simd::Splat(3), last) : last;
    chosen[v] = simd::Select(step == 1, simd::Splat(2), middle);
  }
}

// Principal-axis start, then alternately: palette choices for the endpoints, and the endpoints
// chosen exactly for those choices. The result is scored on the real palette.
void FitInMode(const Points& points, const Statistics& s, Mode mode, Candidate& best) {
  if (s.flat) {
    FitSingleColor(points, s.flatColor, mode, best);
    return;
  }
  float e0[3], e1[3];
  for (int c = 0; c < 3; ++c) {
    e0[c] = std::clamp(s.mean[c] + s.axis[c] * s.high, 0.0f, 255.0f);
    e1[c] = std::clamp(s.mean[c] + s.axis[c] * s.low, 0.0f, 255.0f);
  }
  Endpoint q0 = QuantizeEndpoint(e0), q1 = QuantizeEndpoint(e1);
  Int4 selection[4];
  for (int iteration = 0; iteration < kIterations; ++iteration) {
    AssignByProjection(points, q0, q1, mode, selection);
    const EntrySums sums = SumByEntry(points, selection);
    if (!SolveEndpoints(sums, mode, e0, e1)) break;
    Endpoint n0, n1;
    ChooseQuantized(sums, mode, e0, e1, n0, n1);
    if (SameEndpoints(n0, n1, q0, q1)) break;
    q0 = n0, q1 = n1;
  }
  Candidate local;
  Evaluate(points, q0, q1, mode, local);
  if (local.error < best.error) best = local;
}

// Puts the candidate into block order: four colours need color0 > color1 (equal endpoints
// decode as three colours, so every index becomes 0), three colours color0 <= color1.
ColorFit Finish(const Candidate& candidate, const Points& points) {
  std::uint16_t c0 = candidate.e0.Packed();
  std::uint16_t c1 = candidate.e1.Packed();
  Int4 selection[4];
  for (int v = 0; v < 4; ++v) selection[v] = candidate.selection[v];
  if (candidate.mode == Mode::kFourColor) {
    if (c0 < c1) {
      std::swap(c0, c1);
      for (Int4& s : selection) s ^= 1;
    } else if (c0 == c1) {
      for (Int4& s : selection) s = simd::Splat(0);
    }
  } else if (c0 > c1) {
    std::swap(c0, c1);
    for (Int4& s : selection) s = simd::Select(s < 2, s ^ 1, s);
  }
  ColorFit fit;
  fit.color0 = c0;
  fit.color1 = c1;
  for (int v = 0; v < 4; ++v) {
    const Int4 index = simd::Select(points.mask[v], selection[v], simd::Splat(3));  // 3: transparent
    fit.indices |= static_cast<std::uint32_t>(simd::Sum(index << Int4{0, 2, 4, 6})) << (8 * v);
  }
  return fit;
}

}  // namespace

ColorFit FitColorBlock(const std::uint32_t pixels[16], std::uint16_t transparent, bool allowThreeColor) {
  Points points;
  for (int v = 0; v < 4; ++v) {
    Int4 pixel;
    std::memcpy(&pixel, pixels + 4 * v, sizeof pixel);
    const Int4 lane = Int4{0, 1, 2, 3} + 4 * v;
    const Int4 red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
    points.mask[v] = ((simd::Splat(static_cast<std::int32_t>(transparent)) >> lane) & 1) - 1;
    points.weight[v] = simd::Select(points.mask[v], simd::Splat(1.0f), simd::Splat(0.0f));
    points.r[v] = __builtin_convertvector(red, Float4);
    points.g[v] = __builtin_convertvector(green, Float4);
    points.b[v] = __builtin_convertvector(blue, Float4);
    points.redGreen[v] = (red | green << 16) & points.mask[v];
    points.blueCount[v] = (blue | 1 << 16) & points.mask[v];
  }
  points.totalRedGreen = simd::Sum(points.redGreen[0] + points.redGreen[1] + points.redGreen[2] + points.redGreen[3]);
  points.totalBlueCount =
      simd::Sum(points.blueCount[0] + points.blueCount[1] + points.blueCount[2] + points.blueCount[3]);
  points.count = 16 - __builtin_popcount(transparent);
  Candidate best;
  if (points.count == 0) {
    best.mode = Mode::kThreeColor;
    return Finish(best, points);
  }
  const Statistics statistics = Analyse(points);
  if (transparent != 0) {
    FitInMode(points, statistics, Mode::kThreeColor, best);
  } else {
    FitInMode(points, statistics, Mode::kFourColor, best);
    if (allowThreeColor && best.error > static_cast<float>(kThreeColorThreshold * points.count)) {
      FitInMode(points, statistics, Mode::kThreeColor, best);
    }
  }
  return Finish(best, points);
}

}  // namespace vela::codec
