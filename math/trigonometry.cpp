// Sine, cosine and rotation by table look-up; the arc tangent by octant reduction onto the
// arc-tangent table, whose entries cover one eighth of a turn (ratios 0..1 in steps of 1/8192).
#include <cstdlib>

#include "math/vela_math.h"

namespace vela::math {
namespace {

constexpr std::uint32_t kAngleMask = 0xFFFF;
constexpr std::int32_t kQuarterTurn = 16384;
constexpr std::int32_t kHalfTurn = 32768;
constexpr std::int32_t kThreeQuarterTurn = 49152;
constexpr std::int32_t kFullTurn = 65536;

// Table entry for the ratio small / large, where 0 < small <= large. The operands are 64-bit so
// that magnitudes up to 2^31 (the absolute value of the most negative int) cannot overflow.
std::int32_t AtanOfRatio(std::int64_t small, std::int64_t large) {
  return static_cast<std::int32_t>(kAtanTable[small * 8192 / large]);
}

}  // namespace

// Unsigned arithmetic keeps the wrap-around of large and negative angles well defined.
float Sin(std::int32_t angle) { return kSineTable[static_cast<std::uint32_t>(angle) & kAngleMask]; }

float Cos(std::int32_t angle) {
  return kSineTable[(static_cast<std::uint32_t>(angle) + kQuarterTurn) & kAngleMask];
}

std::int32_t Atan(std::int32_t x, std::int32_t y) {
  if (x == 0) return y >= 0 ? kQuarterTurn : kThreeQuarterTurn;
  if (y == 0) return x > 0 ? 0 : kHalfTurn;

  const std::int64_t ax = std::llabs(x);
  const std::int64_t ay = std::llabs(y);
  const bool nearXAxis = ax >= ay;
  // Octant angle measured from the nearer axis: from the x axis when |x| >= |y|, else from y.
  const std::int32_t offset = nearXAxis ? AtanOfRatio(ay, ax) : AtanOfRatio(ax, ay);

  if (x > 0 && y > 0) return nearXAxis ? offset : kQuarterTurn - offset;
  if (x < 0 && y > 0) return nearXAxis ? kHalfTurn - offset : kQuarterTurn + offset;
  if (x < 0) return nearXAxis ? kHalfTurn + offset : kThreeQuarterTurn - offset;
  return nearXAxis ? kFullTurn - offset : kThreeQuarterTurn + offset;
}

void Rotate(Vector2& v, std::int32_t angle) {
  const float s = Sin(angle);
  const float c = Cos(angle);
  const float x = v.x;
  const float y = v.y;
  v.x = c * x - s * y;
  v.y = c * y + s * x;
}

}  // namespace vela::math
