// Four-colour endpoints of four blocks at once: FitColorBlock's common path (principal axis,
// one projection round, the exact quantised choice, scoring and the scored rounds) with each
// block in one lane of the vectors. Fitting one block, much of the work went into what the
// four lanes cannot share: sums across lanes, the scalar steps of the axis and the solve, table
// lookups, branches. With a block per lane every step is four blocks' worth. The arithmetic is
// FitColorBlock's, operation for operation and in its order, so each lane's result is the one
// FitColorBlock gives; blocks that leave that path (one colour, nearly flat) are fitted again by
// FitColorBlock, and those due for its restart go on in RestartColorBlock. The short loops over
// channels and palette entries are unrolled for GCC, which otherwise left them rolled (a
// fifth slower).
#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imagecodec/dxt_fit.h"
#include "imagecodec/simd4.h"

namespace vela::codec {
namespace {

using simd::Float4;
using simd::Int4;

// Pixel i of the four blocks (lane b: block b).
struct Lanes {
  Int4 red[16], green[16], blue[16];
  Float4 r[16], g[16], b[16];
};

// Rows of four pixels of each block, turned so that each vector holds one pixel of every block.
void Transpose(const std::uint32_t* const blocks[4], Lanes& lanes) {
  for (int v = 0; v < 4; ++v) {
    Int4 row[4];
    for (int b = 0; b < 4; ++b) std::memcpy(&row[b], blocks[b] + 4 * v, sizeof row[b]);
    const Int4 low01 = __builtin_shufflevector(row[0], row[1], 0, 4, 1, 5);
    const Int4 high01 = __builtin_shufflevector(row[0], row[1], 2, 6, 3, 7);
    const Int4 low23 = __builtin_shufflevector(row[2], row[3], 0, 4, 1, 5);
    const Int4 high23 = __builtin_shufflevector(row[2], row[3], 2, 6, 3, 7);
    const Int4 pixel[4] = {__builtin_shufflevector(low01, low23, 0, 1, 4, 5),
                           __builtin_shufflevector(low01, low23, 2, 3, 6, 7),
                           __builtin_shufflevector(high01, high23, 0, 1, 4, 5),
                           __builtin_shufflevector(high01, high23, 2, 3, 6, 7)};
    for (int j = 0; j < 4; ++j) {
      const int i = 4 * v + j;
      lanes.red[i] = (pixel[j] >> 16) & 0xFF;
      lanes.green[i] = (pixel[j] >> 8) & 0xFF;
      lanes.blue[i] = pixel[j] & 0xFF;
      lanes.r[i] = __builtin_convertvector(lanes.red[i], Float4);
      lanes.g[i] = __builtin_convertvector(lanes.green[i], Float4);
      lanes.b[i] = __builtin_convertvector(lanes.blue[i], Float4);
    }
  }
}

Int4 Expand5(Int4 q) { return (q << 3) | (q >> 2); }
Int4 Expand6(Int4 q) { return (q << 2) | (q >> 4); }
Float4 ToFloat(Int4 v) { return __builtin_convertvector(v, Float4); }
Int4 ToInt(Float4 v) { return __builtin_convertvector(v, Int4); }  // truncates
Float4 Truncate(Float4 v) { return ToFloat(ToInt(v)); }
Float4 Clamp255(Float4 v) { return simd::Min(simd::Max(v, simd::Splat(0.0f)), simd::Splat(255.0f)); }
Float4 Abs(Float4 v) { return simd::Max(v, -v); }

// An endpoint per block: red, green and blue levels (5, 6 and 5 bits).
struct Endpoints {
  Int4 r, g, b;
};

// The mean, the axis of largest spread and its extent, per block; `done` marks the blocks that
// have no spread (FitColorBlock's one-colour path).
struct Axes {
  Float4 mean[3], axis[3], low, high;
  Int4 done;
};

Axes Analyse(const Lanes& p) {
  Float4 rr = simd::Splat(0.0f), rg = rr, rb = rr, gg = rr, gb = rr, bb = rr, tr = rr, tg = rr, tb = rr;
  for (int i = 0; i < 16; ++i) {
    rr += p.r[i] * p.r[i];
    rg += p.r[i] * p.g[i];
    rb += p.r[i] * p.b[i];
    gg += p.g[i] * p.g[i];
    gb += p.g[i] * p.b[i];
    bb += p.b[i] * p.b[i];
    tr += p.r[i];
    tg += p.g[i];
    tb += p.b[i];
  }
  // Whole numbers below 2^24 throughout: exact in any order, as in FitColorBlock.
  Axes a;
  a.mean[0] = tr * (1.0f / 16.0f), a.mean[1] = tg * (1.0f / 16.0f), a.mean[2] = tb * (1.0f / 16.0f);
  const Float4 k0 = 16.0f * rr - tr * tr, k1 = 16.0f * rg - tr * tg, k2 = 16.0f * rb - tr * tb;
  const Float4 k3 = 16.0f * gg - tg * tg, k4 = 16.0f * gb - tg * tb, k5 = 16.0f * bb - tb * tb;
  a.done = (k0 + k3 + k5) == 0.0f;
  const Int4 first = (k0 >= k3) & (k0 >= k5), second = ~first & (k3 >= k5);
  Float4 x0 = simd::Select(first, k0, simd::Select(second, k1, k2));
  Float4 y0 = simd::Select(first, k1, simd::Select(second, k3, k4));
  Float4 z0 = simd::Select(first, k2, simd::Select(second, k4, k5));
  for (int iteration = 0; iteration < 3; ++iteration) {
    const Float4 x = k0 * x0 + k1 * y0 + k2 * z0;
    const Float4 y = k1 * x0 + k3 * y0 + k4 * z0;
    const Float4 z = k2 * x0 + k4 * y0 + k5 * z0;
    x0 = x, y0 = y, z0 = z;
  }
  const Float4 largest = simd::Max(simd::Max(Abs(x0), Abs(y0)), Abs(z0));
  // Positive and finite (a NaN or infinity fails the second test): otherwise the grey axis.
  const Int4 usable = (largest > 0.0f) & (largest <= 3.4028235e38f);
  const Float4 inverse = 1.0f / simd::Select(usable, largest, simd::Splat(1.0f));
  const Float4 one = simd::Splat(1.0f);
  a.axis[0] = simd::Select(usable, x0 * inverse, one);
  a.axis[1] = simd::Select(usable, y0 * inverse, one);
  a.axis[2] = simd::Select(usable, z0 * inverse, one);
  Float4 low = simd::Splat(3.0e38f), high = simd::Splat(-3.0e38f);
  for (int i = 0; i < 16; ++i) {
    const Float4 t = p.r[i] * a.axis[0] + p.g[i] * a.axis[1] + p.b[i] * a.axis[2];
    low = simd::Min(low, t);
    high = simd::Max(high, t);
  }
  const Float4 atMean = a.mean[0] * a.axis[0] + a.mean[1] * a.axis[1] + a.mean[2] * a.axis[2];
  const Float4 inverseLength = 1.0f / (a.axis[0] * a.axis[0] + a.axis[1] * a.axis[1] + a.axis[2] * a.axis[2]);
  a.low = (low - atMean) * inverseLength;
  a.high = (high - atMean) * inverseLength;
  return a;
}

// Per channel, the levels of the 5- or 6-bit quantisation.
struct Channel {
  float levels;      // 31 / 255 or 63 / 255
  float multiplier;  // expansion: level * multiplier + truncate(level * fraction)
  float fraction;
  std::int32_t highestLow;
};
constexpr Channel kChannels[3] = {{31.0f / 255.0f, 8.0f, 0.25f, 30},
                                  {63.0f / 255.0f, 4.0f, 0.0625f, 62},
                                  {31.0f / 255.0f, 8.0f, 0.25f, 30}};

Int4 Expand(Int4 q, int channel) { return channel == 1 ? Expand6(q) : Expand5(q); }

// Sums per palette entry of one block set: red, green and blue, and how many pixels.
struct EntrySums {
  Float4 sum[4][3];
  Float4 count[4];
};

// The sums of each entry from the two bits of every pixel's entry number (FitColorBlock's
// SumByEntry, in whole numbers): pixels with bit 0 set, with bit 1 set and with both.
EntrySums SumByEntry(const Lanes& p, const Int4 (&bit0)[16], const Int4 (&bit1)[16]) {
  const Int4 zero = simd::Splat(0);
  Int4 low[4] = {zero, zero, zero, zero}, high[4] = {zero, zero, zero, zero}, both[4] = {zero, zero, zero, zero};
  Int4 total[4] = {zero, zero, zero, simd::Splat(16)};  // red, green, blue, count
  for (int i = 0; i < 16; ++i) {
    const Int4 bits = bit0[i] & bit1[i];
    const Int4 value[3] = {p.red[i], p.green[i], p.blue[i]};
    #pragma GCC unroll 4
    for (int c = 0; c < 3; ++c) {
      low[c] += value[c] & bit0[i];
      high[c] += value[c] & bit1[i];
      both[c] += value[c] & bits;
      total[c] += value[c];
    }
    low[3] -= bit0[i], high[3] -= bit1[i], both[3] -= bits;
  }
  EntrySums sums;
  for (int q = 0; q < 4; ++q) {
    const Int4 entry[4] = {total[q] - low[q] - high[q] + both[q], low[q] - both[q], high[q] - both[q], both[q]};
    #pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) (q < 3 ? sums.sum[k][q] : sums.count[k]) = ToFloat(entry[k]);
  }
  return sums;
}

// Entries by position along the line between the endpoints (FitColorBlock's AssignByProjection).
EntrySums ProjectAndSum(const Lanes& p, const Endpoints& e0, const Endpoints& e1) {
  const Int4 level0[3] = {e0.r, e0.g, e0.b}, level1[3] = {e1.r, e1.g, e1.b};
  Float4 c0[3], scaled[3];
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    c0[c] = ToFloat(Expand(level0[c], c));
    scaled[c] = ToFloat(Expand(level1[c], c)) - c0[c];
  }
  const Float4 length = scaled[0] * scaled[0] + scaled[1] * scaled[1] + scaled[2] * scaled[2];
  for (Float4& s : scaled) s = s * 6.0f;
  const Float4 origin = c0[0] * scaled[0] + c0[1] * scaled[1] + c0[2] * scaled[2];
  const Float4 first = length + origin, second = 3.0f * length + origin, third = 5.0f * length + origin;
  Int4 bit0[16], bit1[16];
  for (int i = 0; i < 16; ++i) {
    const Float4 t = p.r[i] * scaled[0] + p.g[i] * scaled[1] + p.b[i] * scaled[2];
    bit0[i] = t >= second;
    bit1[i] = (t >= first) & ~(t >= third);
  }
  return SumByEntry(p, bit0, bit1);
}

// The entries of the scoring (two bits per pixel).
EntrySums SumScored(const Lanes& p, Int4 indices) {
  Int4 bit0[16], bit1[16];
  for (int i = 0; i < 16; ++i) {
    bit0[i] = -((indices >> (2 * i)) & 1);
    bit1[i] = -((indices >> (2 * i + 1)) & 1);
  }
  return SumByEntry(p, bit0, bit1);
}

// Least-squares endpoints for the entries (FitColorBlock's SolveEndpoints, four colours), then
// per channel the exact choice among the levels around them (its ChooseQuantized), into n0 and
// n1; false in the lanes whose entries do not determine the endpoints.
Int4 Solve(const EntrySums& s, Endpoints& n0, Endpoints& n1) {
  const Float4* n = s.count;
  const Float4 aa = 9.0f * n[0] + 4.0f * n[2] + n[3];
  const Float4 bb = 9.0f * n[1] + n[2] + 4.0f * n[3];
  const Float4 ab = 2.0f * (n[2] + n[3]);
  const Float4 determinant = aa * bb - ab * ab;  // whole numbers below 2^24
  const Int4 solvable = determinant != 0.0f;
  const Float4 scale = 3.0f / simd::Select(solvable, determinant, simd::Splat(1.0f));
  Int4* chosen0[3] = {&n0.r, &n0.g, &n0.b};
  Int4* chosen1[3] = {&n1.r, &n1.g, &n1.b};
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    const Float4 x[4] = {s.sum[0][c], s.sum[1][c], s.sum[2][c], s.sum[3][c]};
    const Float4 ax = 3.0f * x[0] + 2.0f * x[2] + x[3];
    const Float4 bx = 3.0f * x[1] + x[2] + 2.0f * x[3];
    const Float4 e0 = Clamp255((ax * bb - bx * ab) * scale);
    const Float4 e1 = Clamp255((bx * aa - ax * ab) * scale);
    const Channel& channel = kChannels[c];
    const Int4 highestLow = simd::Splat(channel.highestLow);
    Int4 low0 = ToInt(e0 * channel.levels), low1 = ToInt(e1 * channel.levels);
    low0 = simd::Select(low0 > highestLow, highestLow, low0);
    low1 = simd::Select(low1 > highestLow, highestLow, low1);
    const Float4 level0 = ToFloat(low0), level1 = ToFloat(low1);
    const auto expand = [&](Float4 q) { return q * channel.multiplier + Truncate(q * channel.fraction); };
    const Float4 a[2] = {expand(level0), expand(level0 + 1.0f)}, b[2] = {expand(level1), expand(level1 + 1.0f)};
    Float4 twice[4];
    #pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) twice[k] = x[k] + x[k];
    Float4 best = simd::Splat(0.0f);
    for (int i = 0; i < 2; ++i) {
      const Float4 errorA = a[i] * (n[0] * a[i] - twice[0]);
      for (int j = 0; j < 2; ++j) {
        const Float4 v2 = Truncate((a[i] + a[i] + b[j] + 0.5f) * (1.0f / 3.0f));
        const Float4 v3 = Truncate((a[i] + b[j] + b[j] + 0.5f) * (1.0f / 3.0f));
        const Float4 error = errorA + b[j] * (n[1] * b[j] - twice[1]) + v2 * (n[2] * v2 - twice[2]) +
                             v3 * (n[3] * v3 - twice[3]);
        const Float4 key = error * 4.0f + static_cast<float>(2 * i + j);
        best = i + j == 0 ? key : simd::Min(key, best);
      }
    }
    const Int4 pair = ToInt(best) & 3;
    *chosen0[c] = low0 + (pair >> 1);
    *chosen1[c] = low1 + (pair & 1);
  }
  return solvable;
}

Endpoints Select(Int4 mask, const Endpoints& a, const Endpoints& b) {
  return {simd::Select(mask, a.r, b.r), simd::Select(mask, a.g, b.g), simd::Select(mask, a.b, b.b)};
}

Int4 Same(const Endpoints& a, const Endpoints& b) { return (a.r == b.r) & (a.g == b.g) & (a.b == b.b); }

// Every pixel on its nearest entry of the decoder's palette (the first of equally near ones);
// the squared error per block, and the entries as two bits per pixel.
Int4 Score(const Lanes& p, const Endpoints& e0, const Endpoints& e1, Int4& indices) {
  const Int4 level0[3] = {e0.r, e0.g, e0.b}, level1[3] = {e1.r, e1.g, e1.b};
  Float4 palette[4][3];
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    const Float4 a = ToFloat(Expand(level0[c], c)), b = ToFloat(Expand(level1[c], c));
    palette[0][c] = a;
    palette[1][c] = b;
    // The decoder's truncated thirds: (n + 0.5) / 3 is never a whole number, so truncating
    // the product with the rounded third gives n / 3 exactly.
    palette[2][c] = Truncate((a + a + b + 0.5f) * (1.0f / 3.0f));
    palette[3][c] = Truncate((a + b + b + 0.5f) * (1.0f / 3.0f));
  }
  Int4 total = simd::Splat(0);
  indices = simd::Splat(0);
  for (int i = 0; i < 16; ++i) {
    Float4 best;
    #pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
      const Float4 dr = p.r[i] - palette[k][0], dg = p.g[i] - palette[k][1], db = p.b[i] - palette[k][2];
      const Float4 key = dr * dr + dg * dg + db * db + static_cast<float>(k) * 0.25f;
      best = k == 0 ? key : simd::Min(key, best);
    }
    const Int4 key = ToInt(best * 4.0f);
    total += key >> 2;
    indices |= (key & 3) << (2 * i);
  }
  return total;
}

}  // namespace

// Every helper inlined, as in FitColorBlock (see there).
[[gnu::flatten]] void FitColorBlocks4(const std::uint32_t* const blocks[4], ColorFit fits[4]) {
  Lanes lanes;
  Transpose(blocks, lanes);
  const Axes a = Analyse(lanes);
  // The extent's ends, rounded to 5:6:5.
  Int4 end0[3], end1[3];
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    const Float4 high = Clamp255(a.mean[c] + a.axis[c] * a.high);
    const Float4 low = Clamp255(a.mean[c] + a.axis[c] * a.low);
    end0[c] = ToInt(high * kChannels[c].levels + 0.5f);
    end1[c] = ToInt(low * kChannels[c].levels + 0.5f);
  }
  Endpoints q0{end0[0], end0[1], end0[2]}, q1{end1[0], end1[1], end1[2]};
  const Int4 nearlyFlat = Same(q0, q1);
  Endpoints n0, n1;
  const Int4 solved = Solve(ProjectAndSum(lanes, q0, q1), n0, n1);
  q0 = Select(solved, n0, q0), q1 = Select(solved, n1, q1);
  Int4 indices;
  Int4 error = Score(lanes, q0, q1, indices);
  // Blocks above 16 per pixel solve their endpoints again for the scored entries, up to two
  // rounds, each kept only when it comes closer; a round that changes nothing ends them.
  Int4 active = error > 16 * 16;
  for (int round = 0; round < 2 && simd::Sum(active) != 0; ++round) {
    active &= Solve(SumScored(lanes, indices), n0, n1) & ~(Same(n0, q0) & Same(n1, q1));
    Int4 scoredIndices;
    const Int4 scored = Score(lanes, n0, n1, scoredIndices);
    active &= scored < error;
    q0 = Select(active, n0, q0), q1 = Select(active, n1, q1);
    error = simd::Select(active, scored, error);
    indices = simd::Select(active, scoredIndices, indices);
    active &= error > 16 * 16;
  }
  // Blocks still above 128 per pixel start once more from elsewhere (RestartColorBlock); the
  // others that left the common path are fitted from the start.
  const Int4 elsewhere = a.done | nearlyFlat;
  const Int4 restart = ~elsewhere & (error > 128 * 16);
  for (int b = 0; b < 4; ++b) {
    auto c0 = static_cast<std::uint16_t>(q0.r[b] << 11 | q0.g[b] << 5 | q0.b[b]);
    auto c1 = static_cast<std::uint16_t>(q1.r[b] << 11 | q1.g[b] << 5 | q1.b[b]);
    auto bits = static_cast<std::uint32_t>(indices[b]);
    if (elsewhere[b]) {
      fits[b] = FitColorBlock(blocks[b], false);
      continue;
    }
    if (restart[b]) {
      fits[b] = RestartColorBlock(blocks[b], {c0, c1, bits, static_cast<std::uint32_t>(error[b])});
      continue;
    }
    if (c0 < c1) {
      std::swap(c0, c1);
      bits ^= 0x55555555u;  // entries 0 <-> 1, 2 <-> 3
    } else if (c0 == c1) {
      bits = 0;
    }
    fits[b] = {c0, c1, bits};
  }
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
