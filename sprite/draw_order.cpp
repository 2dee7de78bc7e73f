// The upload: the stored vertices in the order the device draws them.
#include <algorithm>
#include <cstring>

#include "sprite/triangle_batch.h"
#include "sprite/vertex_stride.h"

namespace vela {
namespace {

// How many buckets ahead of the walk a bucket's first triangle is asked for: with random depths
// the triangles of neighbouring buckets lie anywhere in the store, and a load started a few
// buckets early has arrived when the walk gets there.
constexpr int kPrefetchBuckets = 4;

// The product's i686 target has no prefetch instruction (nor has its stand-in in benchmarks).
template <std::size_t Bytes>
void PrefetchBlock(const std::byte* address) {
#if defined(__GNUC__) && !defined(VELA_SPRITE_I686_PROXY)
  __builtin_prefetch(address);
  __builtin_prefetch(address + Bytes - 1);
#else
  (void)address;
#endif
}

}  // namespace

std::size_t TriangleBatch::WriteDrawOrder(std::byte* destination, std::size_t bytes) const {
  if (!store_ || !destination) return 0;
  if (sortByDepth_) {
    if (!bucketHeads_) return 0;
    return WithStride(vertexType_, [&](auto stride) { return WriteSorted<decltype(stride)::value>(destination, bytes); });
  }
  const std::size_t copied = std::min<std::size_t>(storeUsed_, bytes);
  std::memcpy(destination, store_.get(), copied);
  return copied;
}

template <std::uint32_t Stride>
std::size_t TriangleBatch::WriteSorted(std::byte* destination, std::size_t bytes) const {
  constexpr std::size_t kTriangleBytes = 3 * Stride;
  const std::byte* triangles = store_.get();
  const std::uint32_t* links = Links();
  const std::uint32_t* heads = bucketHeads_.get();
  const std::size_t room = bytes / kTriangleBytes;
  std::size_t written = 0;
  for (int key = highestKey_; key >= lowestKey_; --key) {
    if (key - kPrefetchBuckets >= lowestKey_) {
      const std::uint32_t ahead = heads[key - kPrefetchBuckets];
      if (ahead != 0 && ahead <= triangleCount_) {
        PrefetchBlock<kTriangleBytes>(triangles + std::size_t{ahead - 1} * kTriangleBytes);
      }
    }
    // Every link names an earlier triangle than the one before it, so each chain ends.
    std::uint32_t previous = triangleCount_ + 1;
    for (std::uint32_t link = heads[key]; link != 0 && link < previous; previous = link, link = links[link - 1]) {
      if (written == room) return written * kTriangleBytes;
      std::memcpy(destination + written * kTriangleBytes, triangles + std::size_t{link - 1} * kTriangleBytes,
                  kTriangleBytes);
      ++written;
    }
  }
  return written * kTriangleBytes;
}

}  // namespace vela
