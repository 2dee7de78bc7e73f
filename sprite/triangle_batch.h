// TriangleBatch: the CPU side of a 2D vertex object. It takes triangles (PushTriangles) and
// squares (PushSquare), transforms and clips them with the object's settings, and keeps the
// result in a vertex store that survives device loss: in submission order, or, for a
// depth-sorted object, chained into 8,191 depth buckets. WriteDrawOrder then lays the stored
// vertices out as the device draws them: buckets from far to near, and within a bucket the
// triangle stored last first.
//
// A sorted object's store holds two arrays: slots of 3 x stride bytes for the triangles'
// vertices, grouped by depth (TriangleSlots), and after them one 32-bit link per slot to the
// previous triangle of its bucket. The upload follows the links through the small link array
// and copies each triangle from its slot. Links and bucket heads are slot numbers plus one (0
// ends a chain); the upload takes no more triangles than are stored, so every walk ends. The
// store keeps the size of 160 bytes per triangle (a vertex of 52 bytes at most, three of them
// and the link), the same in the 32-bit product and the 64-bit build.
//
// Nothing here allocates while drawing: the store and the head table are made once, zero-filled
// from the process heap. Single-threaded, like every 2D object.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/process_heap.h"
#include "graphics/rect_2d.h"
#include "sprite/object_2d_settings.h"
#include "sprite/triangle_clip.h"
#include "sprite/triangle_record.h"
#include "sprite/triangle_slots.h"
#include "sprite/uv_rect.h"
#include "sprite/vertex_layout.h"

namespace vela {

class TriangleBatch {
 public:
  // Store bytes per triangle of a sorted object, whatever the stride.
  static constexpr std::uint32_t kSortRecordBytes = 160;
  static constexpr std::uint32_t kBucketTableBytes = 8191 * 4;

  // The layout for `capacity` vertices of `vertexType` (0-4). False for another type or for
  // sizes that do not fit 32 bits; nothing is allocated yet.
  bool Configure(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth);
  // The vertex store: floor(capacity x 160 / 3) bytes of packed triangles and their links for a
  // sorted object, capacity x stride bytes of vertices otherwise. False when the heap cannot
  // give it.
  bool AllocateStore();
  // The 8,191 bucket heads of a sorted object.
  bool AllocateBuckets();

  // Transforms, clips and stores the triangles in order. False, at once, for the first one
  // whose clipped vertices would take the object beyond its capacity: it and the rest are not
  // stored. Vertices produced by clipping are counted (RequestedCount) also when they are not
  // stored.
  bool PushTriangles(const TriangleRecord* records, std::size_t count);
  // The square of BuildSquare (sprite_shapes.h), stored exactly as PushTriangles stores its two
  // triangles, without building them first when nothing in the transform needs it.
  bool PushSquare(const Rect2D& destination, float z, const UvRect (&uv)[kVertex2DStages], std::uint32_t colour);
  // Forgets what is stored (the bytes stay; the counts and buckets start over).
  void Reset();

  // Bytes that WriteDrawOrder produces: vertexCount x stride.
  std::size_t DrawBytes() const;
  // Copies the stored vertices in drawing order to `destination` (room for `bytes`), at most
  // `bytes` of them; answers the bytes written.
  std::size_t WriteDrawOrder(std::byte* destination, std::size_t bytes) const;

  ScissorSetting& Scissor() { return scissor_; }
  TransformSettings& Transform() { return transform_; }
  const ScissorSetting& Scissor() const { return scissor_; }
  const TransformSettings& Transform() const { return transform_; }

  bool Configured() const { return stride_ != 0; }
  bool HasStore() const { return store_ != nullptr; }
  std::uint32_t VertexType() const { return vertexType_; }
  std::uint32_t Fvf() const { return fvf_; }
  std::uint32_t Stride() const { return stride_; }
  std::uint32_t Capacity() const { return capacity_; }
  std::uint32_t BufferBytes() const { return bufferBytes_; }
  std::uint32_t StoreBytes() const { return storeBytes_; }
  bool SortByDepth() const { return sortByDepth_; }
  std::uint32_t VertexCount() const { return vertexCount_; }
  std::uint32_t StoreUsed() const { return storeUsed_; }
  std::uint32_t RequestedCount() const { return requestedCount_; }

 private:
  // Counts `produced` clipped vertices as requested; false when they would take the object
  // beyond its capacity, or there are some and it has no store.
  bool Admit(std::uint32_t produced);
  // Stores the admitted fan of a polygon of `count` vertices (a triangle for 3).
  void StoreFan(const Vertex2D* polygon, int count);
  template <std::uint32_t Stride>
  void StorePlain(const Vertex2D& a, const Vertex2D& b, const Vertex2D& c);
  template <std::uint32_t Stride>
  void StoreSorted(int key, const Vertex2D& a, const Vertex2D& b, const Vertex2D& c);
  // A slot for a triangle of bucket `key`, chained into the bucket; false when the store has
  // none left (capacity keeps that from happening).
  bool TakeSlot(int key, std::uint32_t& slot);
  // Clips and stores a triangle that has been transformed; PushClipped one known to be cut.
  bool PushTransformed(const TriangleRecord& triangle);
  bool PushClipped(const TriangleRecord& triangle);
  // The same for a triangle in scratch.first.
  bool PushScratchClipped(ClipScratch& scratch);
  template <std::uint32_t Stride>
  bool PushSquareWithStride(const Rect2D& destination, float z, const UvRect (&uv)[kVertex2DStages],
                            std::uint32_t colour);
  template <std::uint32_t Stride>
  std::size_t WriteSorted(std::byte* destination, std::size_t bytes) const;

  std::uint32_t* Links() { return reinterpret_cast<std::uint32_t*>(store_.get() + linkOffset_); }
  const std::uint32_t* Links() const { return reinterpret_cast<const std::uint32_t*>(store_.get() + linkOffset_); }

  HeapPtr<std::byte> store_;
  HeapPtr<std::uint32_t> bucketHeads_;
  std::uint32_t vertexType_ = 0;
  std::uint32_t fvf_ = 0;
  std::uint32_t bufferBytes_ = 0;
  std::uint32_t storeBytes_ = 0;
  std::uint32_t stride_ = 0;
  std::uint32_t capacity_ = 0;
  std::uint32_t vertexCount_ = 0;
  std::uint32_t storeUsed_ = 0;
  std::uint32_t requestedCount_ = 0;
  // Sorted: triangles stored since the last Reset, the slots for them, how many slots the
  // store lays out and where the link array starts.
  std::uint32_t triangleCount_ = 0;
  TriangleSlots slots_;
  std::uint32_t slotCapacity_ = 0;
  std::uint32_t linkOffset_ = 0;
  // The range of slots the triangles being pushed take (TriangleSlots::RangeOfDepth of the
  // depth the host gave), set before they are transformed.
  int rangeHint_ = 0;
  bool sortByDepth_ = false;
  // The range of buckets used since the last Reset, so that neither the upload nor the reset
  // walks 8,191 empty heads for a small batch. lowestKey_ > highestKey_ when none is used.
  int lowestKey_ = 8191;
  int highestKey_ = -1;
  ScissorSetting scissor_;
  TransformSettings transform_;
};

}  // namespace vela
