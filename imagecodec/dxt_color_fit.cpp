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

struct Endpoint {
  int r = 0, g = 0, b = 0;  // 5, 6 and 5 bits
  std::uint16_t Packed() const { return static_cast<std::uint16_t>(r << 11 | g << 5 | b); }
};

// The block's 16 pixels; transparent ones take no part in the fit (their colour is replaced
// by the mean of the others, where they pull on nothing).
struct Points {
  Float4 r[4], g[4], b[4];  // pixel i is lane i % 4 of vector i / 4
  Int4 mask[4];             // -1 for the pixels that take part, 0 for the others
  // Red | green << 16 and blue | 1 << 16 of the pixels that take part, 0 for the others: sums
  // of up to 16 such values keep every field apart, so two additions count a pixel and add its
  // three channels.
  Int4 redGreen[4], blueCount[4];
  Int4 total;  // sums of red, green and blue of the pixels that take part, and their count
  int count = 0;  // pixels that take part
};

// Per palette entry: the sums of red, green and blue of the pixels that chose it, and their
// count (lanes 0 to 3). Everything the least-squares step and the exact quantised choice need.
struct EntrySums {
  Int4 entry[4];
  Float4 floats[4];  // the same sums as floats (exact: below 2^13)
};

// Masks (-1 or 0) of the two bits of each pixel's palette entry, laid out as the points.
struct EntryBits {
  Int4 bit0[4], bit1[4];
};

// Sums by the two bits of the entry number: pixels with bit 0 set, with bit 1 set and with both;
// the sums of each entry follow from these and the block's totals.
EntrySums SumByEntry(const Points& points, const EntryBits& entries) {
  Int4 low[2] = {simd::Splat(0), simd::Splat(0)}, high[2] = {low[0], low[0]}, both[2] = {low[0], low[0]};
  for (int v = 0; v < 4; ++v) {
    const Int4 bit0 = entries.bit0[v], bit1 = entries.bit1[v], bits = bit0 & bit1;
    low[0] += points.redGreen[v] & bit0;
    low[1] += points.blueCount[v] & bit0;
    high[0] += points.redGreen[v] & bit1;
    high[1] += points.blueCount[v] & bit1;
    both[0] += points.redGreen[v] & bits;
    both[1] += points.blueCount[v] & bits;
  }
  // Per set: the packed fields apart, then the four lane sums of each at once.
  const auto total = [](const Int4 sums[2]) {
    return simd::Sums(sums[0] & 0xFFFF, sums[0] >> 16, sums[1] & 0xFFFF, sums[1] >> 16);
  };
  const Int4 one = total(low), two = total(high), three = total(both);
  EntrySums sums{{points.total - one - two + three, one - three, two - three, three}, {}};
  for (int k = 0; k < 4; ++k) sums.floats[k] = __builtin_convertvector(sums.entry[k], Float4);
  return sums;
}

struct Palette {
  float r[4], g[4], b[4];
};

Palette MakePalette(const Endpoint& e0, const Endpoint& e1, Mode mode);

struct Candidate {
  Endpoint e0, e1;
  Mode mode = Mode::kFourColor;
  float error = 3.0e38f;
  Int4 selection[4] = {};  // palette entry per pixel, laid out as the points
};

// Gives every pixel its nearest palette entry (the first of equally near ones); answers the
// summed squared error of the pixels that take part. The distance d, an integer below 2^18, goes
// into a float key as d + entry / 4 (exact), so one minimum per entry finds both. The
// three-colour palette repeats its middle entry as entry 3, which therefore never wins.
float AssignNearest(const Points& points, const Palette& palette, Int4 chosen[4]) {
  Float4 best[4];
#pragma GCC unroll 4
  for (int k = 0; k < 4; ++k) {
    const Float4 r = simd::Splat(palette.r[k]), g = simd::Splat(palette.g[k]), b = simd::Splat(palette.b[k]);
    for (int v = 0; v < 4; ++v) {
      const Float4 dr = points.r[v] - r, dg = points.g[v] - g, db = points.b[v] - b;
      const Float4 key = dr * dr + dg * dg + db * db + static_cast<float>(k) * 0.25f;
      best[v] = k == 0 ? key : simd::Min(key, best[v]);
    }
  }
  Int4 total = simd::Splat(0);
  for (int v = 0; v < 4; ++v) {
    const Int4 key = __builtin_convertvector(best[v] * 4.0f, Int4);
    chosen[v] = key & 3;
    total += (key >> 2) & points.mask[v];
  }
  return static_cast<float>(simd::Sum(total));
}

// Scores the endpoints on their palette; the best candidate so far keeps them when closer.
void Evaluate(const Points& points, const Endpoint& e0, const Endpoint& e1, Mode mode, Candidate& best) {
  Int4 selection[4];
  const float error = AssignNearest(points, MakePalette(e0, e1, mode), selection);
  if (error >= best.error) return;
  best.e0 = e0;
  best.e1 = e1;
  best.mode = mode;
  best.error = error;
  for (int v = 0; v < 4; ++v) best.selection[v] = selection[v];
}

// Endpoints that minimise the squared error for a fixed choice of palette entries, as red,
// green and blue lanes; false when the choice does not determine them (every pixel on one
// entry). The normal equations in whole numbers: with the weights of endpoint 0 counted in
// thirds (four colours: 3, 0, 2, 1) or halves (three colours: 2, 0, 1, 1), every sum and the
// determinant are exact integers, and so are the numerators in floats.
bool SolveEndpoints(const EntrySums& sums, Mode mode, Float4& e0, Float4& e1) {
  const std::int32_t n[4] = {sums.entry[0][3], sums.entry[1][3], sums.entry[2][3], sums.entry[3][3]};
  const bool four = mode == Mode::kFourColor;
  const std::int32_t aa = four ? 9 * n[0] + 4 * n[2] + n[3] : 4 * n[0] + n[2] + n[3];
  const std::int32_t bb = four ? 9 * n[1] + n[2] + 4 * n[3] : 4 * n[1] + n[2] + n[3];
  const std::int32_t ab = four ? 2 * (n[2] + n[3]) : n[2] + n[3];
  const std::int32_t determinant = aa * bb - ab * ab;
  if (determinant == 0) return false;
  const Float4* x = sums.floats;
  const Float4 ax = four ? 3.0f * x[0] + 2.0f * x[2] + x[3] : 2.0f * x[0] + x[2] + x[3];
  const Float4 bx = four ? 3.0f * x[1] + x[2] + 2.0f * x[3] : 2.0f * x[1] + x[2] + x[3];
  const float scale = (four ? 3.0f : 2.0f) / static_cast<float>(determinant);
  const float faa = static_cast<float>(aa), fbb = static_cast<float>(bb), fab = static_cast<float>(ab);
  const Float4 zero = simd::Splat(0.0f), top = simd::Splat(255.0f);
  e0 = simd::Min(simd::Max((ax * fbb - bx * fab) * scale, zero), top);
  e1 = simd::Min(simd::Max((bx * faa - ax * fab) * scale, zero), top);
  return true;
}

struct Statistics {
  float mean[3] = {0, 0, 0};
  float axis[3] = {0, 0, 0};  // direction of the largest spread, largest component 1
  float low = 0, high = 0;    // extent of the pixels along the axis, from the mean
  bool flat = false;
  int flatColor[3] = {0, 0, 0};
};

float Min(Float4 v) { return std::min(std::min(v[0], v[1]), std::min(v[2], v[3])); }
float Max(Float4 v) { return std::max(std::max(v[0], v[1]), std::max(v[2], v[3])); }

// Mean, direction of the largest spread (power iteration on the covariance) and the extent.
// Transparent pixels are moved onto the mean first, where they add nothing to either. The
// covariance comes from the raw sums (16 sum xy - sum x sum y, 16^2 times the covariance), so it
// does not wait for the mean; for opaque blocks every term is an integer below 2^24 and exact.
Statistics Analyse(Points& points) {
  Statistics s;
  if (points.count < 16) {
    const float count = static_cast<float>(points.count);
    const float mean[3] = {static_cast<float>(points.total[0]) / count, static_cast<float>(points.total[1]) / count,
                           static_cast<float>(points.total[2]) / count};
    for (int v = 0; v < 4; ++v) {
      points.r[v] = simd::Select(points.mask[v], points.r[v], simd::Splat(mean[0]));
      points.g[v] = simd::Select(points.mask[v], points.g[v], simd::Splat(mean[1]));
      points.b[v] = simd::Select(points.mask[v], points.b[v], simd::Splat(mean[2]));
    }
  }
  Float4 moment[6], sum[3];  // rr rg rb gg gb bb; r g b
  for (Float4& m : moment) m = simd::Splat(0.0f);
  for (Float4& m : sum) m = simd::Splat(0.0f);
  for (int v = 0; v < 4; ++v) {
    const Float4 r = points.r[v], g = points.g[v], b = points.b[v];
    moment[0] += r * r;
    moment[1] += r * g;
    moment[2] += r * b;
    moment[3] += g * g;
    moment[4] += g * b;
    moment[5] += b * b;
    sum[0] += r;
    sum[1] += g;
    sum[2] += b;
  }
  // Lane sums, four at a time: {rr, rg, rb, gg}, {gb, bb, r, g} and b.
  const Float4 first = simd::Sums(moment[0], moment[1], moment[2], moment[3]);
  const Float4 second = simd::Sums(moment[4], moment[5], sum[0], sum[1]);
  const float total[3] = {second[2], second[3], simd::Sum(sum[2])};
  for (int c = 0; c < 3; ++c) s.mean[c] = total[c] * (1.0f / 16.0f);
  const float k[6] = {16.0f * first[0] - total[0] * total[0], 16.0f * first[1] - total[0] * total[1],
                      16.0f * first[2] - total[0] * total[2], 16.0f * first[3] - total[1] * total[1],
                      16.0f * second[0] - total[1] * total[2], 16.0f * second[1] - total[2] * total[2]};
  // A block of one colour has no spread at all (exactly so: see above, and transparent pixels
  // moved onto a mean of equal integers are that integer).
  if (k[0] + k[3] + k[5] == 0.0f) {
    s.flat = true;
    for (int c = 0; c < 3; ++c) s.flatColor[c] = static_cast<int>(s.mean[c]);
    return s;
  }
  // Start from the covariance row of the largest variance: never orthogonal to the answer.
  float x0, y0, z0;
  if (k[0] >= k[3] && k[0] >= k[5]) {
    x0 = k[0], y0 = k[1], z0 = k[2];
  } else if (k[3] >= k[5]) {
    x0 = k[1], y0 = k[3], z0 = k[4];
  } else {
    x0 = k[2], y0 = k[4], z0 = k[5];
  }
  // Three steps without normalising in between: entries below 2^24 keep the products inside
  // the float range (below 2^100). A fourth step changes the result by very little.
  for (int iteration = 0; iteration < 3; ++iteration) {
    const float x = k[0] * x0 + k[1] * y0 + k[2] * z0;
    const float y = k[1] * x0 + k[3] * y0 + k[4] * z0;
    const float z = k[2] * x0 + k[4] * y0 + k[5] * z0;
    x0 = x, y0 = y, z0 = z;
  }
  const float largest = std::max({std::fabs(x0), std::fabs(y0), std::fabs(z0)});
  if (largest > 0.0f && std::isfinite(largest)) {
    const float inverse = 1.0f / largest;
    s.axis[0] = x0 * inverse, s.axis[1] = y0 * inverse, s.axis[2] = z0 * inverse;
  } else {
    s.axis[0] = s.axis[1] = s.axis[2] = 1.0f;
  }
  // The extent along the axis (not of unit length: its largest component is 1), in multiples
  // of the axis from the mean.
  Float4 low = simd::Splat(3.0e38f), high = simd::Splat(-3.0e38f);
  for (int v = 0; v < 4; ++v) {
    const Float4 t = points.r[v] * s.axis[0] + points.g[v] * s.axis[1] + points.b[v] * s.axis[2];
    low = simd::Min(low, t);
    high = simd::Max(high, t);
  }
  const float atMean = s.mean[0] * s.axis[0] + s.mean[1] * s.axis[1] + s.mean[2] * s.axis[2];
  const float inverseLength = 1.0f / (s.axis[0] * s.axis[0] + s.axis[1] * s.axis[1] + s.axis[2] * s.axis[2]);
  s.low = (Min(low) - atMean) * inverseLength;
  s.high = (Max(high) - atMean) * inverseLength;
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

void SingleColorPair(const int rgb[3], Mode mode, Endpoint& e0, Endpoint& e1) {
  const int m = mode == Mode::kFourColor ? 0 : 1;
  const SingleColorTables& tables = Tables();
  e0 = {tables.five[m].pair[rgb[0]][0], tables.six[m].pair[rgb[1]][0], tables.five[m].pair[rgb[2]][0]};
  e1 = {tables.five[m].pair[rgb[0]][1], tables.six[m].pair[rgb[1]][1], tables.five[m].pair[rgb[2]][1]};
}

void FitSingleColor(const Points& points, const int rgb[3], Mode mode, Candidate& best) {
  Endpoint e0, e1;
  SingleColorPair(rgb, mode, e0, e1);
  Evaluate(points, e0, e1, mode, best);
}

// True when the 16 pixels have one colour (alpha aside).
bool OneColor(const std::uint32_t pixels[16]) {
  Int4 differ = simd::Splat(0);
  for (int v = 0; v < 4; ++v) {
    Int4 pixel;
    std::memcpy(&pixel, pixels + 4 * v, sizeof pixel);
    differ |= (pixel ^ static_cast<std::int32_t>(pixels[0])) & 0xFFFFFF;
  }
  return simd::Sum(differ != 0) == 0;
}

// Refinement rounds per mode. Most blocks settle in the first; a second lowers the squared error
// of the benchmark's images by about 1 % for about a third more time.
constexpr int kIterations = 1;
// Opaque DXT1 blocks try the three-colour mode only when four colours leave more than this
// squared error per pixel: below it the three-colour mode seldom wins, and by little (the trial
// costs as much as the four-colour fit).
constexpr int kThreeColorThreshold = 256;
// Four-colour blocks above this squared error per pixel solve their endpoints again for the
// choices the scoring made, up to this many rounds: the projection's choices are only near the
// nearest-entry ones, and these rounds lower the squared error of such blocks by several percent.
constexpr float kScoredRoundThreshold = 16.0f;
constexpr int kScoredRounds = 2;
// DXT3 and DXT5 blocks still above this squared error per pixel start once more from the ends of
// the extent drawn in to this fraction, with this many scored rounds.
constexpr float kRestartThreshold = 128.0f;
constexpr float kRestartReach = 0.6f;
constexpr int kRestartRounds = 1;
// A nearly flat block whose mean colour leaves at most this squared error per pixel keeps it:
// a spread palette could gain little more than that.
constexpr float kFlatEnoughError = 3.0f;

// The two middle palette entries as the decoder computes them, for every pair of 5-bit and of
// 6-bit endpoints, in four-colour and in three-colour mode.
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

Palette MakePalette(const Endpoint& e0, const Endpoint& e1, Mode mode) {
  const MiddleEntries& middles = Middles();
  const int m = mode == Mode::kFourColor ? 0 : 1;
  const std::uint8_t* red = middles.five[m][e0.r][e1.r];
  const std::uint8_t* green = middles.six[m][e0.g][e1.g];
  const std::uint8_t* blue = middles.five[m][e0.b][e1.b];
  const auto f = [](int value) { return static_cast<float>(value); };
  return {{f(Expand5(e0.r)), f(Expand5(e1.r)), f(red[0]), f(red[1])},
          {f(Expand6(e0.g)), f(Expand6(e1.g)), f(green[0]), f(green[1])},
          {f(Expand5(e0.b)), f(Expand5(e1.b)), f(blue[0]), f(blue[1])}};
}

// For fixed palette choices the squared error separates by channel, and for one channel it
// depends only on how many pixels chose each entry and on their sum. So per channel, the pair
// among the two levels around each endpoint's exact value whose palette leaves the smallest
// squared error, less the pixels' own sum of squares (which all pairs share), is chosen
// exactly; the channels are the lanes, the four pairs are tried in turn. A 5-bit level q expands
// to 8 q + q / 4, a 6-bit one to 4 q + q / 16. The middle entries are the decoder's truncated
// thirds or halves: (n + 0.5) / 3 never lands on an integer, so truncating it is exact. The
// errors are integers below 2^22 in magnitude, exact in floats, so 4 error + pair is a key
// whose minimum names the first best pair.
void ChooseQuantized(const EntrySums& sums, Mode mode, Float4 e0, Float4 e1, Endpoint& q0, Endpoint& q1) {
  const Float4 scale{31.0f / 255.0f, 63.0f / 255.0f, 31.0f / 255.0f, 0.0f};
  const Int4 highestLow{30, 62, 30, 0};
  const Float4 multiplier{8.0f, 4.0f, 8.0f, 0.0f}, fraction{0.25f, 0.0625f, 0.25f, 0.0f};
  const auto truncate = [](Float4 v) { return __builtin_convertvector(__builtin_convertvector(v, Int4), Float4); };
  const auto expand = [&](Float4 q) { return q * multiplier + truncate(q * fraction); };
  Int4 low0 = __builtin_convertvector(e0 * scale, Int4), low1 = __builtin_convertvector(e1 * scale, Int4);
  low0 = simd::Select(low0 > highestLow, highestLow, low0);
  low1 = simd::Select(low1 > highestLow, highestLow, low1);
  const Float4 level0 = __builtin_convertvector(low0, Float4), level1 = __builtin_convertvector(low1, Float4);
  const Float4 a[2] = {expand(level0), expand(level0 + 1.0f)}, b[2] = {expand(level1), expand(level1 + 1.0f)};
  Float4 count[4], twice[4];
  for (int k = 0; k < 4; ++k) {
    count[k] = __builtin_shufflevector(sums.floats[k], sums.floats[k], 3, 3, 3, 3);
    twice[k] = sums.floats[k] + sums.floats[k];
  }
  const bool four = mode == Mode::kFourColor;
  Float4 best = simd::Splat(0.0f);
  for (int i = 0; i < 2; ++i) {
    const Float4 errorA = a[i] * (count[0] * a[i] - twice[0]);
    for (int j = 0; j < 2; ++j) {
      const Float4 v2 =
          four ? truncate((a[i] + a[i] + b[j] + 0.5f) * (1.0f / 3.0f)) : truncate((a[i] + b[j] + 0.5f) * 0.5f);
      const Float4 v3 = four ? truncate((a[i] + b[j] + b[j] + 0.5f) * (1.0f / 3.0f)) : v2;
      const Float4 error = errorA + b[j] * (count[1] * b[j] - twice[1]) + v2 * (count[2] * v2 - twice[2]) +
                           v3 * (count[3] * v3 - twice[3]);
      const Float4 key = error * 4.0f + static_cast<float>(2 * i + j);
      best = i + j == 0 ? key : simd::Min(key, best);
    }
  }
  const Int4 pair = __builtin_convertvector(best, Int4) & 3;
  const Int4 chosen0 = low0 + (pair >> 1), chosen1 = low1 + (pair & 1);
  q0 = {chosen0[0], chosen0[1], chosen0[2]};
  q1 = {chosen1[0], chosen1[1], chosen1[2]};
}

bool SameEndpoints(const Endpoint& a0, const Endpoint& a1, const Endpoint& b0, const Endpoint& b1) {
  return ((a0.r ^ b0.r) | (a0.g ^ b0.g) | (a0.b ^ b0.b) | (a1.r ^ b1.r) | (a1.g ^ b1.g) | (a1.b ^ b1.b)) == 0;
}

// Palette choices by position along the line between the quantised endpoints: for four colours
// the palette is that line cut in thirds (up to rounding), for three colours in halves. Much
// cheaper than comparing distances, and as good for steering the refinement; scores are exact.
// A pixel at t = (p - c0).d / |d|^2 steps past endpoint 0 (rounded, clamped) is past step j + 1
// when 2 steps (p - c0).d >= (2 j + 1) |d|^2: three comparisons, no division. The steps are, from
// endpoint 0, entries 0, 2, 3, 1 for four colours and 0, 2, 1 for three.
EntryBits AssignByProjection(const Points& points, const Endpoint& e0, const Endpoint& e1, Mode mode) {
  const auto f = [](int value) { return static_cast<float>(value); };
  const float c0[3] = {f(Expand5(e0.r)), f(Expand6(e0.g)), f(Expand5(e0.b))};
  const float d[3] = {f(Expand5(e1.r)) - c0[0], f(Expand6(e1.g)) - c0[1], f(Expand5(e1.b)) - c0[2]};
  const float length = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
  const float twiceSteps = mode == Mode::kFourColor ? 6.0f : 4.0f;
  const float scaled[3] = {d[0] * twiceSteps, d[1] * twiceSteps, d[2] * twiceSteps};
  const float origin = c0[0] * scaled[0] + c0[1] * scaled[1] + c0[2] * scaled[2];
  const Float4 first = simd::Splat(length + origin), second = simd::Splat(3.0f * length + origin),
               third = simd::Splat(5.0f * length + origin);
  EntryBits entries;
  for (int v = 0; v < 4; ++v) {
    const Float4 t = points.r[v] * scaled[0] + points.g[v] * scaled[1] + points.b[v] * scaled[2];
    const Int4 past1 = t >= first, past2 = t >= second;
    entries.bit0[v] = past2;
    entries.bit1[v] = mode == Mode::kFourColor ? past1 & ~(t >= third) : past1 & ~past2;
  }
  return entries;
}

// Endpoints of a block with a small spread can round to the same 5:6:5 colour, which would
// put every pixel on one entry. Rounding each channel outwards instead (the higher value up,
// the lower down) keeps the spread on the palette.
void SpreadEndpoints(const float e0[3], const float e1[3], Endpoint& q0, Endpoint& q1) {
  int* channels0[3] = {&q0.r, &q0.g, &q0.b};
  int* channels1[3] = {&q1.r, &q1.g, &q1.b};
  for (int c = 0; c < 3; ++c) {
    const float scale = c == 1 ? 63.0f / 255.0f : 31.0f / 255.0f;
    const float a = e0[c] * scale, b = e1[c] * scale;
    if (a == b) continue;  // no spread in this channel to keep
    // Whole levels up and down without a library call (the values are 0 to 63).
    const int floorA = static_cast<int>(a), floorB = static_cast<int>(b);
    const int ceilA = floorA + (static_cast<float>(floorA) < a), ceilB = floorB + (static_cast<float>(floorB) < b);
    *channels0[c] = a > b ? ceilA : floorA;
    *channels1[c] = a > b ? floorB : ceilB;
  }
}

// Principal-axis start, then per round: palette choices for the endpoints by projection, and
// the endpoints chosen exactly for those choices. The result is scored on the real palette, then
// refined by scored rounds where it is far off. A nearly flat block also tries its mean colour.
void FitFrom(const Points& points, const Statistics& s, Mode mode, float reach, int scoredRounds, Candidate& best) {
  // The ends of the extent (times `reach`), rounded to 5:6:5 (red, green, blue lanes).
  const Float4 mean{s.mean[0], s.mean[1], s.mean[2], 0.0f}, axis{s.axis[0], s.axis[1], s.axis[2], 0.0f};
  const Float4 zero = simd::Splat(0.0f), top = simd::Splat(255.0f);
  const Float4 end0 = simd::Min(simd::Max(mean + axis * (s.high * reach), zero), top);
  const Float4 end1 = simd::Min(simd::Max(mean + axis * (s.low * reach), zero), top);
  const Float4 levels{31.0f / 255.0f, 63.0f / 255.0f, 31.0f / 255.0f, 0.0f};
  const Int4 rounded0 = __builtin_convertvector(end0 * levels + 0.5f, Int4);
  const Int4 rounded1 = __builtin_convertvector(end1 * levels + 0.5f, Int4);
  Endpoint q0{rounded0[0], rounded0[1], rounded0[2]}, q1{rounded1[0], rounded1[1], rounded1[2]};
  Candidate own;
  if (SameEndpoints(q0, q1, q1, q0)) {
    // A nearly flat block: its mean as a single colour may beat any spread.
    const int meanColor[3] = {static_cast<int>(s.mean[0] + 0.5f), static_cast<int>(s.mean[1] + 0.5f),
                              static_cast<int>(s.mean[2] + 0.5f)};
    FitSingleColor(points, meanColor, mode, own);
    if (own.error <= kFlatEnoughError * static_cast<float>(points.count)) {
      if (own.error < best.error) best = own;
      return;
    }
    const float e0[3] = {end0[0], end0[1], end0[2]}, e1[3] = {end1[0], end1[1], end1[2]};
    SpreadEndpoints(e0, e1, q0, q1);
  }
  for (int iteration = 0; iteration < kIterations; ++iteration) {
    const EntrySums sums = SumByEntry(points, AssignByProjection(points, q0, q1, mode));
    Float4 exact0, exact1;
    if (!SolveEndpoints(sums, mode, exact0, exact1)) break;
    Endpoint n0, n1;
    ChooseQuantized(sums, mode, exact0, exact1, n0, n1);
    if (SameEndpoints(n0, n1, q0, q1)) break;
    q0 = n0, q1 = n1;
  }
  Evaluate(points, q0, q1, mode, own);
  // Blocks that the first fit leaves far off: endpoints solved again for the choices the scoring
  // made (each pixel on its nearest entry), kept while they come closer.
  for (int round = 0; round < scoredRounds && own.error > kScoredRoundThreshold * static_cast<float>(points.count); ++round) {
    EntryBits entries;
    for (int v = 0; v < 4; ++v) {
      entries.bit0[v] = -(own.selection[v] & 1);
      entries.bit1[v] = -((own.selection[v] >> 1) & 1);
    }
    const EntrySums sums = SumByEntry(points, entries);
    Float4 exact0, exact1;
    if (!SolveEndpoints(sums, mode, exact0, exact1)) break;
    Endpoint n0, n1;
    ChooseQuantized(sums, mode, exact0, exact1, n0, n1);
    if (SameEndpoints(n0, n1, own.e0, own.e1)) break;
    const float before = own.error;
    Evaluate(points, n0, n1, mode, own);
    if (!(own.error < before)) break;
  }
  if (own.error < best.error) best = own;
}

// The fit from the extent's ends; with `restart`, blocks that it leaves far off in four-colour
// mode start once more from ends drawn in towards the mean (another local optimum, often
// closer for blocks whose colours do not lie along one line). DXT1 leaves that out: its poorly
// fitting blocks try the three-colour mode instead.
void FitInMode(const Points& points, const Statistics& s, Mode mode, bool restart, Candidate& best) {
  if (s.flat) {
    FitSingleColor(points, s.flatColor, mode, best);
    return;
  }
  const bool four = mode == Mode::kFourColor;
  FitFrom(points, s, mode, 1.0f, four ? kScoredRounds : 0, best);
  if (four && restart && best.error > kRestartThreshold * static_cast<float>(points.count)) {
    FitFrom(points, s, mode, kRestartReach, kRestartRounds, best);
  }
}

// Puts the candidate into block order: four colours need color0 > color1 (equal endpoints
// decode as three colours, so every index becomes 0), three colours color0 <= color1.
ColorFit Finish(const Candidate& candidate, const Points& points) {
  std::uint32_t indices = 0;
  for (int v = 0; v < 4; ++v) {
    const Int4 index = simd::Select(points.mask[v], candidate.selection[v], simd::Splat(3));  // 3: transparent
    indices |= static_cast<std::uint32_t>(index[0] | index[1] << 2 | index[2] << 4 | index[3] << 6) << (8 * v);
  }
  std::uint16_t c0 = candidate.e0.Packed();
  std::uint16_t c1 = candidate.e1.Packed();
  if (candidate.mode == Mode::kFourColor) {
    if (c0 < c1) {
      std::swap(c0, c1);
      indices ^= 0x55555555u;  // entries 0 <-> 1, 2 <-> 3
    } else if (c0 == c1) {
      indices = 0;
    }
  } else if (c0 > c1) {
    std::swap(c0, c1);
    indices ^= ~(indices >> 1) & 0x55555555u;  // entries 0 <-> 1; 2 and 3 stay
  }
  ColorFit fit;
  fit.color0 = c0;
  fit.color1 = c1;
  fit.indices = indices;
  return fit;
}

// The block's pixels as points, with their sums.
Points MakePoints(const std::uint32_t pixels[16], bool dxt1) {
  Points points;
  for (int v = 0; v < 4; ++v) {
    Int4 pixel;
    std::memcpy(&pixel, pixels + 4 * v, sizeof pixel);
    const Int4 red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
    points.mask[v] = dxt1 ? ((pixel >> 24) & 0xFF) >= 128 : simd::Splat(-1);
    points.r[v] = __builtin_convertvector(red, Float4);
    points.g[v] = __builtin_convertvector(green, Float4);
    points.b[v] = __builtin_convertvector(blue, Float4);
    points.redGreen[v] = (red | green << 16) & points.mask[v];
    points.blueCount[v] = (blue | 1 << 16) & points.mask[v];
  }
  const Int4 redGreen = points.redGreen[0] + points.redGreen[1] + points.redGreen[2] + points.redGreen[3];
  const Int4 blueCount = points.blueCount[0] + points.blueCount[1] + points.blueCount[2] + points.blueCount[3];
  points.total = simd::Sums(redGreen & 0xFFFF, redGreen >> 16, blueCount & 0xFFFF, blueCount >> 16);
  points.count = points.total[3];
  return points;
}

}  // namespace

// Every helper is inlined here (flatten): no function inside the fit passes vectors or floats
// in registers, which lets the benchmark compile it without SSE as a stand-in for an i686 build.
[[gnu::flatten]] ColorFit FitColorBlock(const std::uint32_t pixels[16], bool dxt1) {
  Points points = MakePoints(pixels, dxt1);
  Candidate best;
  if (points.count == 0) {
    best.mode = Mode::kThreeColor;
    return Finish(best, points);
  }
  if (points.count == 16 && OneColor(pixels)) {
    // The table's pair puts the colour on the 2/3 entry: no fit and no scoring needed.
    const int rgb[3] = {static_cast<int>(pixels[0] >> 16 & 0xFF), static_cast<int>(pixels[0] >> 8 & 0xFF),
                        static_cast<int>(pixels[0] & 0xFF)};
    SingleColorPair(rgb, Mode::kFourColor, best.e0, best.e1);
    for (Int4& entry : best.selection) entry = simd::Splat(2);
    return Finish(best, points);
  }
  const Statistics statistics = Analyse(points);
  if (points.count < 16) {
    FitInMode(points, statistics, Mode::kThreeColor, false, best);
  } else {
    FitInMode(points, statistics, Mode::kFourColor, !dxt1, best);
    if (dxt1 && best.error > static_cast<float>(kThreeColorThreshold * points.count)) {
      FitInMode(points, statistics, Mode::kThreeColor, false, best);
    }
  }
  return Finish(best, points);
}

[[gnu::flatten]] ColorFit RestartColorBlock(const std::uint32_t pixels[16], const FirstColorFit& first) {
  Points points = MakePoints(pixels, false);
  const Statistics statistics = Analyse(points);
  Candidate best;
  const auto endpoint = [](std::uint16_t packed) {
    return Endpoint{packed >> 11, (packed >> 5) & 63, packed & 31};
  };
  best.e0 = endpoint(first.color0);
  best.e1 = endpoint(first.color1);
  best.error = static_cast<float>(first.error);
  for (int v = 0; v < 4; ++v) {
    const std::uint32_t bits = first.indices >> (8 * v);
    best.selection[v] = Int4{static_cast<std::int32_t>(bits & 3), static_cast<std::int32_t>((bits >> 2) & 3),
                             static_cast<std::int32_t>((bits >> 4) & 3), static_cast<std::int32_t>((bits >> 6) & 3)};
  }
  FitFrom(points, statistics, Mode::kFourColor, kRestartReach, kRestartRounds, best);
  return Finish(best, points);
}

}  // namespace vela::codec
