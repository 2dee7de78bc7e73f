// MathSin, MathCos, MathAtan, MathRand, MathRandF, MathRandSeed.
#include "math/vela_math.h"
#include "plugin/export_call.h"

VELA_EXPORT_BODY(MathSin)(std::int32_t angle) -> float { return math::Sin(angle); }

VELA_EXPORT_BODY(MathCos)(std::int32_t angle) -> float { return math::Cos(angle); }

VELA_EXPORT_BODY(MathAtan)(std::int32_t x, std::int32_t y) -> std::int32_t { return math::Atan(x, y); }

VELA_EXPORT_BODY(MathRand)(std::int32_t lower, std::int32_t upper) -> std::int32_t {
  return math::Rand(lower, upper);
}

VELA_EXPORT_BODY(MathRandF)(float lower, float upper) -> float { return math::RandF(lower, upper); }

VELA_EXPORT_BODY(MathRandSeed)(std::int32_t seed) -> void { math::Seed(static_cast<std::uint32_t>(seed)); }
