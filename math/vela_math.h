// VelaMath: integer-angle trigonometry and the random generator.
//
// Angles are 32-bit integers of which the low 16 bits count 1/65536 of a turn: 0 points along +x
// and a growing angle turns toward +y (clockwise on the screen). Sine, cosine and rotation are
// table look-ups; the arc tangent reduces to one octant and one look-up. No floating-point
// trigonometry runs at run time: both tables are constant program data.
#pragma once

#include <cstdint>

namespace vela::math {

inline constexpr int kSineTableSize = 65536;
inline constexpr int kAtanTableSize = 8193;

extern const float kSineTable[kSineTableSize];
extern const std::uint32_t kAtanTable[kAtanTableSize];

struct Vector2 {
  float x;
  float y;
};

float Sin(std::int32_t angle);
float Cos(std::int32_t angle);
// Angle of the direction (x, y), in 0..65536; not reduced, so just below +x answers 65536.
std::int32_t Atan(std::int32_t x, std::int32_t y);
// Turns `v` in place by `angle`.
void Rotate(Vector2& v, std::int32_t angle);

// The generator state belongs to the calling thread and is 1 until seeded.
void Seed(std::uint32_t seed);
std::int32_t Rand(std::int32_t lower, std::int32_t upper);
float RandF(float lower, float upper);

}  // namespace vela::math
