// The depth key of a stored triangle: which of the 8,191 buckets of a depth-sorted object it
// goes into. The sum of the three transformed depths (each 0..1) times 8,191 / 3, truncated
// toward zero; about eight units of the host's 0..65,535 depth share a bucket. Depth 65,535 (key
// 8,191) and negative keys fall outside and the triangle is not stored.
#pragma once

#include <bit>
#include <cstdint>

namespace vela {

inline constexpr int kDepthBucketCount = 8191;
inline constexpr int kDroppedDepth = -1;
// 8,191 / 3 rounded up: the single-precision value 0x452AA556.
inline constexpr float kDepthKeyScale = std::bit_cast<float>(std::uint32_t{0x452AA556});

// The key 0..8,190, or kDroppedDepth. A NaN depth is dropped too.
inline int DepthKey(float z0, float z1, float z2) {
  const float key = (z0 + z1 + z2) * kDepthKeyScale;
  // Truncation toward zero: anything above -1 becomes key 0.
  if (!(key > -1.0f && key < static_cast<float>(kDepthBucketCount))) return kDroppedDepth;
  return static_cast<int>(key);
}

}  // namespace vela
