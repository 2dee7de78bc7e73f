// FitColorBlock's common path (principal axis, one projection round, the exact quantised choice,
// scoring and the scored rounds) for several blocks at once, one block per vector lane: the
// body of the four-block fit (SSE2, dxt_color_fit4.cpp) and of the eight-block fit (AVX2,
// dxt_color_fit8.cpp). Fitting one block, much of the work goes into what its lanes cannot
// share: sums across lanes, the scalar steps of the axis and the solve, table lookups,
// branches. With a block per lane every step is a whole set of blocks' worth. The arithmetic is
// FitColorBlock's, operation for operation and in its order, so each lane's result is the one
// FitColorBlock gives whatever the width; blocks that leave that path (one colour, nearly flat)
// are fitted again by FitColorBlock, and those due for its restart go on in RestartColorBlock.
//
// Everything here is in an unnamed namespace on purpose: each file that includes it compiles it
// for its own instruction set, and a shared out-of-line copy built with AVX2 must never be the
// one a processor without it calls. For the same reason the code calls no inline function of
// another header with vector arguments other than the simd overloads for its own vector type.
//
// The short loops over channels and palette entries are unrolled for GCC, which otherwise left
// them rolled (a fifth slower).
#pragma once

#include <cstdint>
#include <cstring>

#include "imagecodec/dxt_fit.h"
#include "imagecodec/simd4.h"
#if defined(__AVX2__)
#include "imagecodec/simd8.h"
#endif

namespace vela::codec {
namespace {

// The lane set L, given by the file that includes this: L::Float and L::Int, vectors of float
// and of 32-bit integer lanes of one width; L::kCount, the lanes; and L::Transpose(blocks,
// lanes), which loads kCount blocks into Lanes<L>.

template <class V, class E>
V Splat(E value) {
  const V zero = {};
  return zero + value;
}

template <class I, class F>
F SelectLanes(I mask, F a, F b) {
  return reinterpret_cast<F>((reinterpret_cast<I>(a) & mask) | (reinterpret_cast<I>(b) & ~mask));
}

template <class I>
bool AnyLane(I mask) {
  bool any = false;
  for (int lane = 0; lane < static_cast<int>(sizeof(I) / sizeof(mask[0])); ++lane) any |= mask[lane] != 0;
  return any;
}

// Pixel i of every block (lane b: block b).
template <class L>
struct Lanes {
  typename L::Int red[16], green[16], blue[16];
  typename L::Float r[16], g[16], b[16];
};

// The channels of transposed pixels (lane b of pixel[i]: pixel i of block b).
template <class L>
void SplitChannels(const typename L::Int (&pixel)[16], Lanes<L>& lanes) {
  for (int i = 0; i < 16; ++i) {
    lanes.red[i] = (pixel[i] >> 16) & 0xFF;
    lanes.green[i] = (pixel[i] >> 8) & 0xFF;
    lanes.blue[i] = pixel[i] & 0xFF;
    lanes.r[i] = __builtin_convertvector(lanes.red[i], typename L::Float);
    lanes.g[i] = __builtin_convertvector(lanes.green[i], typename L::Float);
    lanes.b[i] = __builtin_convertvector(lanes.blue[i], typename L::Float);
  }
}

template <class L>
struct LaneMath {
  using Float = typename L::Float;
  using Int = typename L::Int;

  static Int Expand5(Int q) { return (q << 3) | (q >> 2); }
  static Int Expand6(Int q) { return (q << 2) | (q >> 4); }
  static Int Expand(Int q, int channel) { return channel == 1 ? Expand6(q) : Expand5(q); }
  static Float ToFloat(Int v) { return __builtin_convertvector(v, Float); }
  static Int ToInt(Float v) { return __builtin_convertvector(v, Int); }  // truncates
  static Float Truncate(Float v) { return ToFloat(ToInt(v)); }
  static Float Min(Float a, Float b) { return simd::Min(a, b); }
  static Float Max(Float a, Float b) { return simd::Max(a, b); }
  static Float Clamp255(Float v) { return Min(Max(v, Splat<Float>(0.0f)), Splat<Float>(255.0f)); }
  static Float Abs(Float v) { return Max(v, -v); }
};

// An endpoint per block: red, green and blue levels (5, 6 and 5 bits).
template <class L>
struct Endpoints {
  typename L::Int r, g, b;
};

// The mean, the axis of largest spread and its extent, per block; `done` marks the blocks that
// have no spread (FitColorBlock's one-colour path).
template <class L>
struct Axes {
  typename L::Float mean[3], axis[3], low, high;
  typename L::Int done;
};

template <class L>
Axes<L> Analyse(const Lanes<L>& p) {
  using M = LaneMath<L>;
  using Float = typename L::Float;
  using Int = typename L::Int;
  Float rr = Splat<Float>(0.0f), rg = rr, rb = rr, gg = rr, gb = rr, bb = rr, tr = rr, tg = rr, tb = rr;
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
  Axes<L> a;
  a.mean[0] = tr * (1.0f / 16.0f), a.mean[1] = tg * (1.0f / 16.0f), a.mean[2] = tb * (1.0f / 16.0f);
  const Float k0 = 16.0f * rr - tr * tr, k1 = 16.0f * rg - tr * tg, k2 = 16.0f * rb - tr * tb;
  const Float k3 = 16.0f * gg - tg * tg, k4 = 16.0f * gb - tg * tb, k5 = 16.0f * bb - tb * tb;
  a.done = (k0 + k3 + k5) == 0.0f;
  const Int first = (k0 >= k3) & (k0 >= k5), second = ~first & (k3 >= k5);
  Float x0 = SelectLanes(first, k0, SelectLanes(second, k1, k2));
  Float y0 = SelectLanes(first, k1, SelectLanes(second, k3, k4));
  Float z0 = SelectLanes(first, k2, SelectLanes(second, k4, k5));
  for (int iteration = 0; iteration < 3; ++iteration) {
    const Float x = k0 * x0 + k1 * y0 + k2 * z0;
    const Float y = k1 * x0 + k3 * y0 + k4 * z0;
    const Float z = k2 * x0 + k4 * y0 + k5 * z0;
    x0 = x, y0 = y, z0 = z;
  }
  const Float largest = M::Max(M::Max(M::Abs(x0), M::Abs(y0)), M::Abs(z0));
  // Positive and finite (a NaN or infinity fails the second test): otherwise the grey axis.
  const Int usable = (largest > 0.0f) & (largest <= 3.4028235e38f);
  const Float one = Splat<Float>(1.0f);
  const Float inverse = 1.0f / SelectLanes(usable, largest, one);
  a.axis[0] = SelectLanes(usable, x0 * inverse, one);
  a.axis[1] = SelectLanes(usable, y0 * inverse, one);
  a.axis[2] = SelectLanes(usable, z0 * inverse, one);
  Float low = Splat<Float>(3.0e38f), high = Splat<Float>(-3.0e38f);
  for (int i = 0; i < 16; ++i) {
    const Float t = p.r[i] * a.axis[0] + p.g[i] * a.axis[1] + p.b[i] * a.axis[2];
    low = M::Min(low, t);
    high = M::Max(high, t);
  }
  const Float atMean = a.mean[0] * a.axis[0] + a.mean[1] * a.axis[1] + a.mean[2] * a.axis[2];
  const Float inverseLength = 1.0f / (a.axis[0] * a.axis[0] + a.axis[1] * a.axis[1] + a.axis[2] * a.axis[2]);
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

// Sums per palette entry of one block set: red, green and blue, and how many pixels.
template <class L>
struct EntrySums {
  typename L::Float sum[4][3];
  typename L::Float count[4];
};

// The sums of each entry from the two bits of every pixel's entry number (FitColorBlock's
// SumByEntry, in whole numbers): pixels with bit 0 set, with bit 1 set and with both.
template <class L>
EntrySums<L> SumByEntry(const Lanes<L>& p, const typename L::Int (&bit0)[16], const typename L::Int (&bit1)[16]) {
  using Int = typename L::Int;
  const Int zero = Splat<Int>(0);
  Int low[4] = {zero, zero, zero, zero}, high[4] = {zero, zero, zero, zero}, both[4] = {zero, zero, zero, zero};
  Int total[4] = {zero, zero, zero, Splat<Int>(16)};  // red, green, blue, count
  for (int i = 0; i < 16; ++i) {
    const Int bits = bit0[i] & bit1[i];
    const Int value[3] = {p.red[i], p.green[i], p.blue[i]};
    #pragma GCC unroll 4
    for (int c = 0; c < 3; ++c) {
      low[c] += value[c] & bit0[i];
      high[c] += value[c] & bit1[i];
      both[c] += value[c] & bits;
      total[c] += value[c];
    }
    low[3] -= bit0[i], high[3] -= bit1[i], both[3] -= bits;
  }
  EntrySums<L> sums;
  for (int q = 0; q < 4; ++q) {
    const Int entry[4] = {total[q] - low[q] - high[q] + both[q], low[q] - both[q], high[q] - both[q], both[q]};
    #pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) (q < 3 ? sums.sum[k][q] : sums.count[k]) = LaneMath<L>::ToFloat(entry[k]);
  }
  return sums;
}

// Entries by position along the line between the endpoints (FitColorBlock's AssignByProjection).
template <class L>
EntrySums<L> ProjectAndSum(const Lanes<L>& p, const Endpoints<L>& e0, const Endpoints<L>& e1) {
  using M = LaneMath<L>;
  using Float = typename L::Float;
  using Int = typename L::Int;
  const Int level0[3] = {e0.r, e0.g, e0.b}, level1[3] = {e1.r, e1.g, e1.b};
  Float c0[3], scaled[3];
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    c0[c] = M::ToFloat(M::Expand(level0[c], c));
    scaled[c] = M::ToFloat(M::Expand(level1[c], c)) - c0[c];
  }
  const Float length = scaled[0] * scaled[0] + scaled[1] * scaled[1] + scaled[2] * scaled[2];
  for (Float& s : scaled) s = s * 6.0f;
  const Float origin = c0[0] * scaled[0] + c0[1] * scaled[1] + c0[2] * scaled[2];
  const Float first = length + origin, second = 3.0f * length + origin, third = 5.0f * length + origin;
  Int bit0[16], bit1[16];
  for (int i = 0; i < 16; ++i) {
    const Float t = p.r[i] * scaled[0] + p.g[i] * scaled[1] + p.b[i] * scaled[2];
    bit0[i] = t >= second;
    bit1[i] = (t >= first) & ~(t >= third);
  }
  return SumByEntry(p, bit0, bit1);
}

// The entries of the scoring (two bits per pixel).
template <class L>
EntrySums<L> SumScored(const Lanes<L>& p, typename L::Int indices) {
  typename L::Int bit0[16], bit1[16];
  for (int i = 0; i < 16; ++i) {
    bit0[i] = -((indices >> (2 * i)) & 1);
    bit1[i] = -((indices >> (2 * i + 1)) & 1);
  }
  return SumByEntry(p, bit0, bit1);
}

// Least-squares endpoints for the entries (FitColorBlock's SolveEndpoints, four colours), then
// per channel the exact choice among the levels around them (its ChooseQuantized), into n0 and
// n1; false in the lanes whose entries do not determine the endpoints.
template <class L>
typename L::Int Solve(const EntrySums<L>& s, Endpoints<L>& n0, Endpoints<L>& n1) {
  using M = LaneMath<L>;
  using Float = typename L::Float;
  using Int = typename L::Int;
  const Float* n = s.count;
  const Float aa = 9.0f * n[0] + 4.0f * n[2] + n[3];
  const Float bb = 9.0f * n[1] + n[2] + 4.0f * n[3];
  const Float ab = 2.0f * (n[2] + n[3]);
  const Float determinant = aa * bb - ab * ab;  // whole numbers below 2^24
  const Int solvable = determinant != 0.0f;
  const Float scale = 3.0f / SelectLanes(solvable, determinant, Splat<Float>(1.0f));
  Int* chosen0[3] = {&n0.r, &n0.g, &n0.b};
  Int* chosen1[3] = {&n1.r, &n1.g, &n1.b};
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    const Float x[4] = {s.sum[0][c], s.sum[1][c], s.sum[2][c], s.sum[3][c]};
    const Float ax = 3.0f * x[0] + 2.0f * x[2] + x[3];
    const Float bx = 3.0f * x[1] + x[2] + 2.0f * x[3];
    const Float e0 = M::Clamp255((ax * bb - bx * ab) * scale);
    const Float e1 = M::Clamp255((bx * aa - ax * ab) * scale);
    const Channel& channel = kChannels[c];
    const Int highestLow = Splat<Int>(channel.highestLow);
    Int low0 = M::ToInt(e0 * channel.levels), low1 = M::ToInt(e1 * channel.levels);
    low0 = SelectLanes(low0 > highestLow, highestLow, low0);
    low1 = SelectLanes(low1 > highestLow, highestLow, low1);
    const Float level0 = M::ToFloat(low0), level1 = M::ToFloat(low1);
    const auto expand = [&](Float q) { return q * channel.multiplier + M::Truncate(q * channel.fraction); };
    const Float a[2] = {expand(level0), expand(level0 + 1.0f)}, b[2] = {expand(level1), expand(level1 + 1.0f)};
    Float twice[4];
    #pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) twice[k] = x[k] + x[k];
    Float best = Splat<Float>(0.0f);
    for (int i = 0; i < 2; ++i) {
      const Float errorA = a[i] * (n[0] * a[i] - twice[0]);
      for (int j = 0; j < 2; ++j) {
        const Float v2 = M::Truncate((a[i] + a[i] + b[j] + 0.5f) * (1.0f / 3.0f));
        const Float v3 = M::Truncate((a[i] + b[j] + b[j] + 0.5f) * (1.0f / 3.0f));
        const Float error = errorA + b[j] * (n[1] * b[j] - twice[1]) + v2 * (n[2] * v2 - twice[2]) +
                            v3 * (n[3] * v3 - twice[3]);
        const Float key = error * 4.0f + static_cast<float>(2 * i + j);
        best = i + j == 0 ? key : M::Min(key, best);
      }
    }
    const Int pair = M::ToInt(best) & 3;
    *chosen0[c] = low0 + (pair >> 1);
    *chosen1[c] = low1 + (pair & 1);
  }
  return solvable;
}

template <class L>
Endpoints<L> SelectEndpoints(typename L::Int mask, const Endpoints<L>& a, const Endpoints<L>& b) {
  return {SelectLanes(mask, a.r, b.r), SelectLanes(mask, a.g, b.g), SelectLanes(mask, a.b, b.b)};
}

template <class L>
typename L::Int Same(const Endpoints<L>& a, const Endpoints<L>& b) {
  return (a.r == b.r) & (a.g == b.g) & (a.b == b.b);
}

// Every pixel on its nearest entry of the decoder's palette (the first of equally near ones);
// the squared error per block, and the entries as two bits per pixel.
template <class L>
typename L::Int Score(const Lanes<L>& p, const Endpoints<L>& e0, const Endpoints<L>& e1, typename L::Int& indices) {
  using M = LaneMath<L>;
  using Float = typename L::Float;
  using Int = typename L::Int;
  const Int level0[3] = {e0.r, e0.g, e0.b}, level1[3] = {e1.r, e1.g, e1.b};
  Float palette[4][3];
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    const Float a = M::ToFloat(M::Expand(level0[c], c)), b = M::ToFloat(M::Expand(level1[c], c));
    palette[0][c] = a;
    palette[1][c] = b;
    // The decoder's truncated thirds: (n + 0.5) / 3 is never a whole number, so truncating
    // the product with the rounded third gives n / 3 exactly.
    palette[2][c] = M::Truncate((a + a + b + 0.5f) * (1.0f / 3.0f));
    palette[3][c] = M::Truncate((a + b + b + 0.5f) * (1.0f / 3.0f));
  }
  Int total = Splat<Int>(0);
  indices = Splat<Int>(0);
  for (int i = 0; i < 16; ++i) {
    Float best;
    #pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
      const Float dr = p.r[i] - palette[k][0], dg = p.g[i] - palette[k][1], db = p.b[i] - palette[k][2];
      const Float key = dr * dr + dg * dg + db * db + static_cast<float>(k) * 0.25f;
      best = k == 0 ? key : M::Min(key, best);
    }
    const Int key = M::ToInt(best * 4.0f);
    total += key >> 2;
    indices |= (key & 3) << (2 * i);
  }
  return total;
}

// A block's squared error above which it takes the scored rounds (16 per pixel), and above
// which, after them, it starts once more from elsewhere (128 per pixel).
constexpr std::int32_t kRoundsAbove = 16 * 16;
constexpr std::int32_t kRestartAbove = 128 * 16;

// What a block carries from its first fit into the scored rounds and on to its result.
struct LaneFit {
  std::int32_t level0[3], level1[3];  // the endpoints' red, green and blue levels
  std::uint32_t indices;
  std::int32_t error;
};

// A set of blocks in the lanes; past `count`, the last block again (its lanes are ignored).
template <class L>
void LoadSet(const std::uint32_t* const* blocks, const std::uint8_t* order, int count, Lanes<L>& lanes) {
  const std::uint32_t* set[L::kCount];
  for (int b = 0; b < L::kCount; ++b) set[b] = blocks[order[b < count ? b : count - 1]];
  L::Transpose(set, lanes);
}

// The first fit of a set of blocks (from the extent's ends, one projection round, scored):
// into `fits`, and `elsewhere` for the blocks that leave the common path.
template <class L>
void FitFirst(const Lanes<L>& lanes, int count, LaneFit* fits, bool* elsewhere) {
  using M = LaneMath<L>;
  using Float = typename L::Float;
  using Int = typename L::Int;
  const Axes<L> a = Analyse(lanes);
  // The extent's ends, rounded to 5:6:5.
  Int end0[3], end1[3];
  #pragma GCC unroll 4
  for (int c = 0; c < 3; ++c) {
    const Float high = M::Clamp255(a.mean[c] + a.axis[c] * a.high);
    const Float low = M::Clamp255(a.mean[c] + a.axis[c] * a.low);
    end0[c] = M::ToInt(high * kChannels[c].levels + 0.5f);
    end1[c] = M::ToInt(low * kChannels[c].levels + 0.5f);
  }
  Endpoints<L> q0{end0[0], end0[1], end0[2]}, q1{end1[0], end1[1], end1[2]};
  const Int nearlyFlat = Same(q0, q1);
  Endpoints<L> n0, n1;
  const Int solved = Solve(ProjectAndSum(lanes, q0, q1), n0, n1);
  q0 = SelectEndpoints(solved, n0, q0), q1 = SelectEndpoints(solved, n1, q1);
  Int indices;
  const Int error = Score(lanes, q0, q1, indices);
  const Int leaves = a.done | nearlyFlat;
  for (int b = 0; b < count; ++b) {
    fits[b] = {{q0.r[b], q0.g[b], q0.b[b]}, {q1.r[b], q1.g[b], q1.b[b]}, static_cast<std::uint32_t>(indices[b]),
               error[b]};
    elsewhere[b] = leaves[b] != 0;
  }
}

// Up to two scored rounds for a set of blocks above kRoundsAbove: their endpoints solved again
// for the scored entries, each round kept only when it comes closer; a round that changes
// nothing ends them.
template <class L>
void FitScoredRounds(const Lanes<L>& lanes, int count, LaneFit* const* fits) {
  using Int = typename L::Int;
  // The blocks' fits turned into lanes: levels of both endpoints, entries, error.
  std::int32_t columns[8][L::kCount];
  for (int b = 0; b < L::kCount; ++b) {
    const LaneFit& fit = *fits[b < count ? b : count - 1];
    for (int c = 0; c < 3; ++c) columns[c][b] = fit.level0[c], columns[3 + c][b] = fit.level1[c];
    columns[6][b] = static_cast<std::int32_t>(fit.indices);
    columns[7][b] = fit.error;
  }
  Int lane[8];
  std::memcpy(lane, columns, sizeof lane);
  Endpoints<L> q0{lane[0], lane[1], lane[2]}, q1{lane[3], lane[4], lane[5]};
  Int indices = lane[6], error = lane[7];
  Int active = error > kRoundsAbove;
  Endpoints<L> n0, n1;
  for (int round = 0; round < 2 && AnyLane(active); ++round) {
    active &= Solve(SumScored(lanes, indices), n0, n1) & ~(Same(n0, q0) & Same(n1, q1));
    Int scoredIndices;
    const Int scored = Score(lanes, n0, n1, scoredIndices);
    active &= scored < error;
    q0 = SelectEndpoints(active, n0, q0), q1 = SelectEndpoints(active, n1, q1);
    error = SelectLanes(active, scored, error);
    indices = SelectLanes(active, scoredIndices, indices);
    active &= error > kRoundsAbove;
  }
  for (int b = 0; b < count; ++b) {
    *fits[b] = {{q0.r[b], q0.g[b], q0.b[b]}, {q1.r[b], q1.g[b], q1.b[b]}, static_cast<std::uint32_t>(indices[b]),
                error[b]};
  }
}

// A block's result from its fit: blocks still above kRestartAbove start once more from
// elsewhere (RestartColorBlock); the endpoints in the order of four-colour mode otherwise.
inline ColorFit FinishFit(const std::uint32_t* block, const LaneFit& fit) {
  auto c0 = static_cast<std::uint16_t>(fit.level0[0] << 11 | fit.level0[1] << 5 | fit.level0[2]);
  auto c1 = static_cast<std::uint16_t>(fit.level1[0] << 11 | fit.level1[1] << 5 | fit.level1[2]);
  if (fit.error > kRestartAbove) {
    return RestartColorBlock(block, {c0, c1, fit.indices, static_cast<std::uint32_t>(fit.error)});
  }
  if (c0 < c1) return {c1, c0, fit.indices ^ 0x55555555u};  // entries 0 <-> 1, 2 <-> 3
  return {c0, c1, c0 == c1 ? 0u : fit.indices};
}

// FitColorBlock(blocks[b], false) for up to kChunk blocks. All take the first fit in full sets
// of lanes; only those the rounds concern go on, packed into sets of their own, so that a set
// runs its rounds for all its lanes and not for one block of it. Blocks left over after the
// full sets go into a last set when there are at least four of them (cheaper than fitting them
// one by one), else one by one.
constexpr int kChunk = 64;

template <class L>
void FitChunk(const std::uint32_t* const* blocks, int count, ColorFit* fits) {
  constexpr int N = L::kCount;
  const int inLanes = count % N >= 4 ? count : count / N * N;
  std::uint8_t order[kChunk];
  for (int b = 0; b < kChunk; ++b) order[b] = static_cast<std::uint8_t>(b);
  LaneFit laneFits[kChunk];
  bool elsewhere[kChunk];
  Lanes<L> lanes;
  std::uint8_t scored[kChunk];
  int scoredCount = 0;
  for (int first = 0; first < inLanes; first += N) {
    const int inSet = inLanes - first < N ? inLanes - first : N;
    LoadSet(blocks, order + first, inSet, lanes);
    FitFirst(lanes, inSet, laneFits + first, elsewhere + first);
    for (int b = first; b < first + inSet; ++b) {
      if (!elsewhere[b] && laneFits[b].error > kRoundsAbove) scored[scoredCount++] = static_cast<std::uint8_t>(b);
    }
  }
  for (int first = 0; first < scoredCount; first += N) {
    const int inSet = scoredCount - first < N ? scoredCount - first : N;
    LoadSet(blocks, scored + first, inSet, lanes);
    LaneFit* set[N];
    for (int b = 0; b < inSet; ++b) set[b] = &laneFits[scored[first + b]];
    FitScoredRounds(lanes, inSet, set);
  }
  for (int b = 0; b < count; ++b) {
    fits[b] = b < inLanes && !elsewhere[b] ? FinishFit(blocks[b], laneFits[b]) : FitColorBlock(blocks[b], false);
  }
}

template <class L>
void FitColorSets(const std::uint32_t* const* blocks, std::size_t count, ColorFit* fits) {
  for (std::size_t first = 0; first < count; first += kChunk) {
    const std::size_t inChunk = count - first < kChunk ? count - first : kChunk;
    FitChunk<L>(blocks + first, static_cast<int>(inChunk), fits + first);
  }
}

}  // namespace
}  // namespace vela::codec
