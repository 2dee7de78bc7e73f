// Eight-lane vectors for the code built with AVX2 (the eight-block DXT colour fit): the
// counterparts of simd4.h's types and of the few of its operations that code needs.
#pragma once

#include <cstdint>

#if !defined(__AVX2__)
#error "simd8.h is for files compiled with AVX2"
#endif

namespace vela::codec::simd {

typedef float Float8 __attribute__((vector_size(32)));
typedef std::int32_t Int8 __attribute__((vector_size(32)));

// Lane-wise a < b ? a : b and a > b ? a : b, as minps and maxps answer (and simd4.h's Min, Max).
inline Float8 Min(Float8 a, Float8 b) { return __builtin_ia32_minps256(a, b); }
inline Float8 Max(Float8 a, Float8 b) { return __builtin_ia32_maxps256(a, b); }

}  // namespace vela::codec::simd
