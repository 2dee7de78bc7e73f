#include "sprite/triangle_batch.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "sprite/depth_key.h"
#include "sprite/triangle_clip.h"
#include "sprite/triangle_transform.h"

namespace vela {
namespace {

constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

}  // namespace

bool TriangleBatch::Configure(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth) {
  VertexLayout layout{};
  if (!LookUpVertexLayout(vertexType, layout)) return false;
  const std::uint64_t bufferBytes = std::uint64_t{capacity} * layout.stride;
  const std::uint64_t storeBytes = sortByDepth ? std::uint64_t{capacity} * kSortRecordBytes / 3 : bufferBytes;
  if (bufferBytes > kMax32 || storeBytes > kMax32) return false;
  Reset();
  vertexType_ = vertexType;
  fvf_ = layout.fvf;
  stride_ = layout.stride;
  capacity_ = capacity;
  bufferBytes_ = static_cast<std::uint32_t>(bufferBytes);
  storeBytes_ = static_cast<std::uint32_t>(storeBytes);
  sortByDepth_ = sortByDepth;
  return true;
}

bool TriangleBatch::AllocateStore() {
  store_.reset(static_cast<std::byte*>(HeapAllocate(storeBytes_, true)));
  return store_ != nullptr;
}

bool TriangleBatch::AllocateBuckets() {
  bucketHeads_.reset(static_cast<std::uint32_t*>(HeapAllocate(kBucketTableBytes, true)));
  lowestKey_ = kDepthBucketCount;
  highestKey_ = -1;
  return bucketHeads_ != nullptr;
}

bool TriangleBatch::PushTriangles(const TriangleRecord* records, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    TriangleRecord transformed;
    TransformTriangle(transform_, records[i], transformed);
    // Most triangles are not cut: they are stored straight from the transform.
    Vertex2D clipped[kClipOutputCapacity];
    const bool whole = TriangleUnclipped(scissor_, transformed);
    const Vertex2D* vertices = whole ? transformed.vertex : clipped;
    const int produced = whole ? 3 : ClipTriangle(scissor_, transformed, clipped);
    requestedCount_ += static_cast<std::uint32_t>(produced);
    if (std::uint64_t{vertexCount_} + static_cast<std::uint32_t>(produced) > capacity_) return false;
    if (produced == 0) continue;
    if (!store_ || (sortByDepth_ && !bucketHeads_)) return false;
    if (sortByDepth_) {
      for (int first = 0; first < produced; first += 3) StoreSorted(vertices + first);
    } else {
      StorePlain(vertices, produced);
    }
  }
  return true;
}

void TriangleBatch::StoreSorted(const Vertex2D* triangle) {
  const int key = DepthKey(triangle[0].z, triangle[1].z, triangle[2].z);
  if (key == kDroppedDepth) return;
  // Capacity keeps records within the store; checked again so that no write can pass its end.
  if (std::uint64_t{storeUsed_} + kSortRecordBytes > storeBytes_) return;
  std::byte* record = store_.get() + storeUsed_;
  for (int k = 0; k < 3; ++k) std::memcpy(record + k * stride_, &triangle[k], stride_);
  std::uint32_t& head = bucketHeads_.get()[key];
  std::memcpy(record + kSortLinkOffset, &head, sizeof head);
  head = storeUsed_ / kSortRecordBytes + 1;
  storeUsed_ += kSortRecordBytes;
  vertexCount_ += 3;
  lowestKey_ = std::min(lowestKey_, key);
  highestKey_ = std::max(highestKey_, key);
}

void TriangleBatch::StorePlain(const Vertex2D* vertices, int count) {
  for (int k = 0; k < count; ++k) {
    if (std::uint64_t{storeUsed_} + stride_ > storeBytes_) return;
    std::memcpy(store_.get() + storeUsed_, &vertices[k], stride_);
    storeUsed_ += stride_;
    ++vertexCount_;
  }
}

void TriangleBatch::Reset() {
  vertexCount_ = 0;
  storeUsed_ = 0;
  requestedCount_ = 0;
  if (bucketHeads_ && lowestKey_ <= highestKey_) {
    std::fill(bucketHeads_.get() + lowestKey_, bucketHeads_.get() + highestKey_ + 1, 0u);
  }
  lowestKey_ = kDepthBucketCount;
  highestKey_ = -1;
}

std::size_t TriangleBatch::DrawBytes() const { return std::size_t{vertexCount_} * stride_; }

std::size_t TriangleBatch::WriteDrawOrder(std::byte* destination, std::size_t bytes) const {
  if (!store_ || !destination) return 0;
  if (sortByDepth_) return bucketHeads_ ? WriteSorted(destination, bytes) : 0;
  const std::size_t copied = std::min<std::size_t>(storeUsed_, bytes);
  std::memcpy(destination, store_.get(), copied);
  return copied;
}

std::size_t TriangleBatch::WriteSorted(std::byte* destination, std::size_t bytes) const {
  const std::uint32_t triangleBytes = 3 * stride_;
  const std::uint32_t recordsStored = storeUsed_ / kSortRecordBytes;
  std::size_t written = 0;
  for (int key = highestKey_; key >= lowestKey_; --key) {
    std::uint32_t link = bucketHeads_.get()[key];
    // A chain can hold no more records than are stored; the bound also ends any chain that
    // stale bytes could have closed into a loop.
    for (std::uint32_t walked = 0; link != 0 && link <= recordsStored && walked < recordsStored; ++walked) {
      if (written + triangleBytes > bytes) return written;
      const std::byte* record = store_.get() + std::size_t{link - 1} * kSortRecordBytes;
      std::memcpy(destination + written, record, triangleBytes);
      written += triangleBytes;
      std::memcpy(&link, record + kSortLinkOffset, sizeof link);
    }
  }
  return written;
}

}  // namespace vela
