// TriangleSlots: where each triangle of a depth-sorted object goes in its store.
//
// The upload visits the depth buckets from far to near, and with random depths the triangles of
// neighbouring buckets were stored at random times. Stored one after another, each of them is
// a read from anywhere in a store larger than the second-level cache. Grouped, the store is
// handed out in chunks of kChunk slots, each chunk holding triangles of one range of 128 keys:
// the upload then reads one range's chunks (a few kilobytes) at a time, from the cache after
// the first touch. A partly filled chunk per range is room the store must spare; where it
// cannot (few triangles, or 52-byte vertices whose triangles leave no spare bytes), the slots
// are handed out one after another.
//
// Grouping scatters the push's writes over a chunk per range. That costs little as long as the
// address of a square's slot is known early; taken from the depth key, which waits for the
// depth's float arithmetic (on the x87 unit a round trip through memory), the forty-odd stores
// of a square waited for it, and the push took a quarter longer. So triangles take their slots
// by a range estimated from the bits of the depth the host gave (RangeOfDepth): where a triangle
// is stored only matters for the cache, its order comes from the bucket links.
#pragma once

#include <cstdint>
#include <cstring>

namespace vela {

class TriangleSlots {
 public:
  static constexpr int kRangeShift = 7;
  static constexpr int kRanges = (8190 >> kRangeShift) + 1;
  static constexpr std::uint32_t kChunk = 16;
  // Slots beyond one per triangle that grouping can take: a partly filled chunk per range.
  static constexpr std::uint32_t kGroupingSpare = kRanges * kChunk;

  void Configure(bool grouped) {
    grouped_ = grouped;
    Reset();
  }
  bool Grouped() const { return grouped_; }

  void Reset() {
    used_ = 0;
    for (int range = 0; range < kRanges; ++range) next_[range] = end_[range] = 0;
  }

  // The slot for a triangle in range `range` (0 to kRanges - 1, from RangeOfDepth).
  std::uint32_t Take(int range) {
    if (!grouped_) return used_++;
    if (next_[range] == end_[range]) {
      next_[range] = used_;
      end_[range] = used_ + kChunk;
      used_ += kChunk;
    }
    return next_[range]++;
  }

  // Two slots for the two triangles of a square: side by side when they fit.
  void TakeTwo(int range, std::uint32_t& first, std::uint32_t& second) {
    if (!grouped_ || end_[range] - next_[range] < 2) {
      first = Take(range);
      second = Take(range);
      return;
    }
    first = next_[range];
    second = first + 1;
    next_[range] = first + 2;
  }

  // The range for a triangle whose first vertex the host gave depth `z`: under the plain
  // transform its key is about z / 8, so the range about z / 1,024; under a perspective the
  // range of its key is another, but triangles of near depths still share one. From the bits of
  // z (the whole part shifted down), with no float arithmetic. Depths of 65,536 and above,
  // negative ones and NaN give the last range (such triangles are seldom stored; the estimate
  // only has to be a range).
  static int RangeOfDepth(float z) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &z, sizeof bits);
    if (bits >= 0x47800000u) return kRanges - 1;  // 65,536 and above, or the sign bit set
    const int exponent = static_cast<int>(bits >> 23) - 127;
    if (exponent < 10) return 0;  // below 1,024
    const std::uint32_t whole = ((bits & 0x7FFFFFu) | 0x800000u) >> (23 - exponent);
    return static_cast<int>(whole >> 10);
  }

  // Slots handed out since the last Reset, the filled and the spare: every slot taken lies
  // below this.
  std::uint32_t Used() const { return used_; }

 private:
  bool grouped_ = false;
  std::uint32_t used_ = 0;
  std::uint32_t next_[kRanges] = {};
  std::uint32_t end_[kRanges] = {};
};

}  // namespace vela
