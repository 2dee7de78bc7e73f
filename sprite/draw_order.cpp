// The upload: the stored vertices in the order the device draws them. A sorted object's walk
// costs about a mispredicted branch per bucket (the chains' lengths vary at random) on top of
// the copy; asking for a bucket's triangles a few buckets ahead did not shorten it.
#include <algorithm>
#include <cstring>

#include "sprite/triangle_batch.h"
#include "sprite/vertex_stride.h"

namespace vela {

std::size_t TriangleBatch::WriteDrawOrder(std::byte* destination, std::size_t bytes) const {
  if (!store_ || !destination) return 0;
  if (sortByDepth_) {
    if (!bucketHeads_) return 0;
    return WithStride(vertexType_,
                      [&](auto stride) { return WriteSorted<decltype(stride)::value>(destination, bytes); });
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
  // Each stored triangle lies in one chain once; the bound also ends any chain that stale
  // bytes could have closed into a loop.
  const std::size_t room = std::min<std::size_t>(bytes / kTriangleBytes, triangleCount_);
  const std::uint32_t slotsUsed = slots_.Used();
  std::size_t written = 0;
  for (int key = highestKey_; key >= lowestKey_; --key) {
    for (std::uint32_t link = heads[key]; link != 0 && link <= slotsUsed; link = links[link - 1]) {
      if (written == room) return written * kTriangleBytes;
      std::memcpy(destination + written * kTriangleBytes, triangles + std::size_t{link - 1} * kTriangleBytes,
                  kTriangleBytes);
      ++written;
    }
  }
  return written * kTriangleBytes;
}

}  // namespace vela
