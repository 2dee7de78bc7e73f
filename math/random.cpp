// The per-thread random generator: a linear congruential step whose output is bits 16..30 of
// the state. The exact arithmetic matters: a seeded sequence must repeat bit for bit.
#include <bit>

#include "math/vela_math.h"

namespace vela::math {
namespace {

thread_local std::uint32_t generatorState = 1;

// One generator step; answers a value in 0..32767.
std::int32_t NextDraw() {
  generatorState = generatorState * 214013u + 2531011u;
  return static_cast<std::int32_t>((generatorState >> 16) & 0x7FFF);
}

// 1 / 32767 rounded to single precision.
constexpr float kDrawScale = 1.0f / 32767.0f;
static_assert(std::bit_cast<std::uint32_t>(kDrawScale) == 0x38000100);

}  // namespace

void Seed(std::uint32_t seed) { generatorState = seed; }

std::int32_t Rand(std::int32_t lower, std::int32_t upper) {
  const std::int32_t first = NextDraw();
  const std::int32_t product = first * NextDraw();  // At most 32767^2, which fits.
  // The span is upper - lower + 1 in 32-bit wrap-around; it is 0 for upper == lower - 1 and for
  // the full 32-bit range, where no remainder exists, and negative when upper < lower - 1, where
  // the remainder (of a non-negative product) is taken modulo its magnitude.
  const std::uint32_t span =
      static_cast<std::uint32_t>(upper) - static_cast<std::uint32_t>(lower) + 1u;
  if (span == 0) return lower;
  const std::uint32_t magnitude = static_cast<std::int32_t>(span) < 0 ? 0u - span : span;
  const std::uint32_t offset = static_cast<std::uint32_t>(product) % magnitude;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(lower) + offset);
}

float RandF(float lower, float upper) {
  // Extended precision throughout (x87 long double on every target), one rounding at the end.
  const long double draw = NextDraw();
  const long double range = static_cast<long double>(upper) - static_cast<long double>(lower);
  return static_cast<float>(draw * kDrawScale * range + lower);
}

}  // namespace vela::math
