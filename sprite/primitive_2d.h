// CPrimitive2D: a 2D vertex object that draws what it holds as one triangle list. It fills the
// vertex buffer from the store (far to near when sorted by depth) and draws with the object's
// vertex format; it sets no render state, so blending, depth test and culling are as earlier
// calls left them. Its textures are whatever is bound; CSprite2D binds its own.
#pragma once

#include <cstdint>

#include "sprite/vertex_object_2d.h"

namespace vela {

class CPrimitive2D : public CVertexObject2D {
 public:
  using CVertexObject2D::CVertexObject2D;
  ~CPrimitive2D() override;

  bool PushTriangles(const TriangleRecord* records, std::uint32_t count) override;
  void ResetBuffer() override;
  void UpdateBuffer() override;
  void Rendering() override;

  // The virtual operations of this class, in their fixed order.
  // Clipping and transformation with this object's settings (see sprite/triangle_clip.h and
  // sprite/triangle_transform.h); `out` of ClipTriangle holds kClipOutputCapacity vertices.
  virtual int ClipTriangle(Vertex2D* out, const TriangleRecord& in);
  virtual int ClipLeft(const Vertex2D* in, Vertex2D* out, int count);
  virtual int ClipTop(const Vertex2D* in, Vertex2D* out, int count);
  virtual int ClipRight(const Vertex2D* in, Vertex2D* out, int count);
  virtual int ClipBottom(const Vertex2D* in, Vertex2D* out, int count);
  virtual void TransformTriangle(TriangleRecord& out, const TriangleRecord& in);
  // The vertex buffer and the store for `capacity` vertices of `vertexType` (0-4), with the
  // progress on the current log line; false (with a red line) when any part cannot be made.
  virtual bool CreateBuffers(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth);
  // Makes the buffers again for another capacity, keeping type and sorting; what was stored
  // is forgotten.
  virtual bool Resize(std::uint32_t capacity);
};

}  // namespace vela
