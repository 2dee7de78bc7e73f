// Four-lane vectors through the GCC/Clang vector extensions: SSE2 code where the target has it,
// plain scalar code where it does not (a 32-bit build without -msse2), from the same source.
// The DXT encoder works on its 16 pixels as four of these.
#pragma once

#include <cstdint>

// A 32-bit build without SSE passes these vectors differently from one with SSE; they never
// cross a library boundary, so that note does not matter here.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace vela::codec::simd {

typedef float Float4 __attribute__((vector_size(16)));
typedef std::int32_t Int4 __attribute__((vector_size(16)));

inline Float4 Splat(float value) { return Float4{value, value, value, value}; }
inline Int4 Splat(std::int32_t value) { return Int4{value, value, value, value}; }

// Lanes of `a` where `mask` is all ones, of `b` elsewhere.
inline Float4 Select(Int4 mask, Float4 a, Float4 b) {
  return reinterpret_cast<Float4>((reinterpret_cast<Int4>(a) & mask) | (reinterpret_cast<Int4>(b) & ~mask));
}
inline Int4 Select(Int4 mask, Int4 a, Int4 b) { return (a & mask) | (b & ~mask); }

// Lane-wise a < b ? a : b and a > b ? a : b: one instruction where SSE is there.
inline Float4 Min(Float4 a, Float4 b) {
#if defined(__SSE__)
  return __builtin_ia32_minps(a, b);
#else
  return Select(a < b, a, b);
#endif
}
inline Float4 Max(Float4 a, Float4 b) {
#if defined(__SSE__)
  return __builtin_ia32_maxps(a, b);
#else
  return Select(a > b, a, b);
#endif
}

// {Sum(a), Sum(b), Sum(c), Sum(d)}: a transpose and three additions.
inline Int4 Sums(Int4 a, Int4 b, Int4 c, Int4 d) {
  const Int4 ab = __builtin_shufflevector(a, b, 0, 4, 1, 5) + __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const Int4 cd = __builtin_shufflevector(c, d, 0, 4, 1, 5) + __builtin_shufflevector(c, d, 2, 6, 3, 7);
  return __builtin_shufflevector(ab, cd, 0, 1, 4, 5) + __builtin_shufflevector(ab, cd, 2, 3, 6, 7);
}

inline Float4 Sums(Float4 a, Float4 b, Float4 c, Float4 d) {
  const Float4 ab = __builtin_shufflevector(a, b, 0, 4, 1, 5) + __builtin_shufflevector(a, b, 2, 6, 3, 7);
  const Float4 cd = __builtin_shufflevector(c, d, 0, 4, 1, 5) + __builtin_shufflevector(c, d, 2, 6, 3, 7);
  return __builtin_shufflevector(ab, cd, 0, 1, 4, 5) + __builtin_shufflevector(ab, cd, 2, 3, 6, 7);
}

inline float Sum(Float4 v) { return (v[0] + v[1]) + (v[2] + v[3]); }
inline std::int32_t Sum(Int4 v) { return (v[0] + v[1]) + (v[2] + v[3]); }

}  // namespace vela::codec::simd
