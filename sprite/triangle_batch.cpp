#include "sprite/triangle_batch.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "sprite/depth_key.h"
#include "sprite/sprite_shapes.h"
#include "sprite/square_corners.h"
#include "sprite/triangle_clip.h"
#include "sprite/triangle_transform.h"
#include "sprite/vertex_stride.h"

namespace vela {
namespace {

constexpr std::uint64_t kMax32 = std::numeric_limits<std::uint32_t>::max();

// A square's corner vertex with the stages a vertex of this stride keeps; the bytes beyond
// them are never stored.
template <std::uint32_t Stride>
Vertex2D CornerVertex(float x, float y, float z, std::uint32_t colour, const UvRect (&uv)[kVertex2DStages], bool right,
                      bool bottom) {
  Vertex2D vertex;
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.rhw = 1.0f;
  vertex.diffuse = colour;
  for (std::uint32_t s = 0; s < kStoredStages<Stride>; ++s) {
    vertex.uv[s] = {right ? uv[s].right : uv[s].left, bottom ? uv[s].bottom : uv[s].top};
  }
  return vertex;
}

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
  // Room for the most triangles the capacity admits, then their links: 3 x stride + 4 bytes
  // each, at most the 160 bytes per triangle of the store.
  linkOffset_ = capacity / 3 * 3 * layout.stride;
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

bool TriangleBatch::Admit(std::uint32_t produced) {
  requestedCount_ += produced;
  if (std::uint64_t{vertexCount_} + produced > capacity_) return false;
  return produced == 0 || (store_ && (!sortByDepth_ || bucketHeads_));
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
    if (!Admit(static_cast<std::uint32_t>(produced))) return false;
    StoreVertices(vertices, produced);
  }
  return true;
}

bool TriangleBatch::PushSquare(const Rect2D& destination, float z, const UvRect (&uv)[kVertex2DStages],
                               std::uint32_t colour) {
  if (!PlainTransform(transform_)) {
    TriangleRecord records[2];
    BuildSquare(destination, z, uv, colour, records);
    return PushTriangles(records, 2);
  }
  return WithStride(vertexType_, [&](auto stride) {
    return PushSquareWithStride<decltype(stride)::value>(destination, z, uv, colour);
  });
}

template <std::uint32_t Stride>
bool TriangleBatch::PushSquareWithStride(const Rect2D& destination, float z, const UvRect (&uv)[kVertex2DStages],
                                         std::uint32_t colour) {
  const SquareCorners c = TransformSquareCorners(destination, z, transform_.scale);
  switch (ClassifySquare(scissor_, c)) {
    case SquareAgainstScissor::kOutside:
      return true;
    case SquareAgainstScissor::kCut: {
      // Cut by the scissor: the two triangles take the general path.
      TriangleRecord records[2];
      BuildSquare(destination, z, uv, colour, records);
      return PushTriangles(records, 2);
    }
    case SquareAgainstScissor::kInside:
      break;
  }
  const Vertex2D topLeft = CornerVertex<Stride>(c.x1, c.y1, c.z, colour, uv, false, false);
  const Vertex2D topRight = CornerVertex<Stride>(c.x2, c.y1, c.z, colour, uv, true, false);
  const Vertex2D bottomRight = CornerVertex<Stride>(c.x2, c.y2, c.z, colour, uv, true, true);
  const Vertex2D bottomLeft = CornerVertex<Stride>(c.x1, c.y2, c.z, colour, uv, false, true);
  if (!sortByDepth_) {
    if (!Admit(3)) return false;
    StorePlain<Stride>(topLeft, topRight, bottomRight);
    if (!Admit(3)) return false;
    StorePlain<Stride>(bottomRight, bottomLeft, topLeft);
    return true;
  }
  const int key = DepthKey(c.z, c.z, c.z);
  if (!Admit(3)) return false;
  if (key != kDroppedDepth) StoreSorted<Stride>(key, topLeft, topRight, bottomRight);
  if (!Admit(3)) return false;
  if (key != kDroppedDepth) StoreSorted<Stride>(key, bottomRight, bottomLeft, topLeft);
  return true;
}

void TriangleBatch::StoreVertices(const Vertex2D* vertices, int count) {
  WithStride(vertexType_, [&](auto stride) {
    constexpr std::uint32_t kStride = decltype(stride)::value;
    for (int first = 0; first + 3 <= count; first += 3) {
      const Vertex2D* triangle = vertices + first;
      if (!sortByDepth_) {
        StorePlain<kStride>(triangle[0], triangle[1], triangle[2]);
        continue;
      }
      const int key = DepthKey(triangle[0].z, triangle[1].z, triangle[2].z);
      if (key != kDroppedDepth) StoreSorted<kStride>(key, triangle[0], triangle[1], triangle[2]);
    }
  });
}

template <std::uint32_t Stride>
void TriangleBatch::StorePlain(const Vertex2D& a, const Vertex2D& b, const Vertex2D& c) {
  // Capacity keeps vertices within the store; checked again so that no write can pass its end.
  if (std::uint64_t{storeUsed_} + 3 * Stride > storeBytes_) return;
  std::byte* out = store_.get() + storeUsed_;
  StoreVertex<Stride>(out, a);
  StoreVertex<Stride>(out + Stride, b);
  StoreVertex<Stride>(out + 2 * Stride, c);
  storeUsed_ += 3 * Stride;
  vertexCount_ += 3;
}

template <std::uint32_t Stride>
void TriangleBatch::StoreSorted(int key, const Vertex2D& a, const Vertex2D& b, const Vertex2D& c) {
  // Capacity keeps triangles within their array; checked again so that no write can pass it.
  if (std::uint64_t{triangleCount_ + 1} * 3 * Stride > linkOffset_) return;
  std::byte* out = store_.get() + std::size_t{triangleCount_} * 3 * Stride;
  StoreVertex<Stride>(out, a);
  StoreVertex<Stride>(out + Stride, b);
  StoreVertex<Stride>(out + 2 * Stride, c);
  std::uint32_t& head = bucketHeads_.get()[key];
  Links()[triangleCount_] = head;
  head = ++triangleCount_;
  storeUsed_ += kSortRecordBytes;
  vertexCount_ += 3;
  lowestKey_ = std::min(lowestKey_, key);
  highestKey_ = std::max(highestKey_, key);
}

void TriangleBatch::Reset() {
  vertexCount_ = 0;
  storeUsed_ = 0;
  requestedCount_ = 0;
  triangleCount_ = 0;
  if (bucketHeads_ && lowestKey_ <= highestKey_) {
    std::fill(bucketHeads_.get() + lowestKey_, bucketHeads_.get() + highestKey_ + 1, 0u);
  }
  lowestKey_ = kDepthBucketCount;
  highestKey_ = -1;
}

std::size_t TriangleBatch::DrawBytes() const { return std::size_t{vertexCount_} * stride_; }

}  // namespace vela
