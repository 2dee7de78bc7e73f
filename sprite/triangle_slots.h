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
// Grouping scatters the push's writes over a chunk per range, to lines that are not in the
// cache yet. Wide SSE stores leave room in the store buffer to wait for them; the product's
// i686 code keeps its floats on the x87 unit and writes a vertex four bytes at a time, with
// values rounded through memory (stored_float.h), and there the push lost more than the upload
// gained: a sorted square with its upload took 33 ns instead of 29 in the benchmark's stand-in
// for that code (the upload alone 1.7 instead of 2.4 times a plain copy). So only builds with
// SSE2 whose float arithmetic rounds every operation group.
#pragma once

#include <cfloat>
#include <cstdint>

namespace vela {

#if defined(__SSE2__) && defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0 && !defined(VELA_SPRITE_I686_PROXY)
inline constexpr bool kGroupTrianglesByDepth = true;
#else
inline constexpr bool kGroupTrianglesByDepth = false;
#endif

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

  // The slot for a triangle of depth key `key` (0-8,190).
  std::uint32_t Take(int key) {
    if (!grouped_) return used_++;
    const int range = key >> kRangeShift;
    if (next_[range] == end_[range]) {
      next_[range] = used_;
      end_[range] = used_ + kChunk;
      used_ += kChunk;
    }
    return next_[range]++;
  }

  // Two slots for the two triangles of a square of bucket `key`: side by side when they fit.
  void TakeTwo(int key, std::uint32_t& first, std::uint32_t& second) {
    const int range = key >> kRangeShift;
    if (!grouped_ || end_[range] - next_[range] < 2) {
      first = Take(key);
      second = Take(key);
      return;
    }
    first = next_[range];
    second = first + 1;
    next_[range] = first + 2;
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
