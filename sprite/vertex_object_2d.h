// CVertexObject2D: the base of every 2D object that collects triangles on the CPU and draws
// them in one call: a dynamic vertex buffer in the default pool, and a vertex store (and, when
// sorted by depth, 8,191 bucket heads) that survives device loss (TriangleBatch). It holds the
// object's scissor, perspective and zoom, which act when triangles are pushed.
//
// Device loss gives up the vertex buffer; reset creates it again and refills it from the store,
// so an object filled before the loss draws the same after it. The four buffer operations are
// left to the concrete classes.
#pragma once

#include <d3d9.h>

#include <cstdint>

#include "core/device_object.h"
#include "core/com_ptr.h"
#include "graphics/viewport_clip.h"
#include "sprite/triangle_batch.h"

namespace vela {

class CVertexObject2D : public CDeviceObject {
 public:
  explicit CVertexObject2D(CResourceManager* manager) : CDeviceObject(manager) {}

  void OnLostDevice() override;
  void OnResetDevice() override;

  // The virtual operations of this class, in their fixed order after those of CDeviceObject.
  virtual bool PushTriangles(const TriangleRecord* records, std::uint32_t count) = 0;
  virtual void ResetBuffer() = 0;
  virtual void UpdateBuffer() = 0;
  virtual void Rendering() = 0;
  virtual std::uint32_t GetRequestedCount();
  // Back-buffer pixels (left, top, right, bottom); null switches the scissor off.
  virtual void SetScissor(const PixelRect* rectangle);
  virtual void SetPerspective(bool on, float centreX, float centreY, float depthFactor);
  virtual void SetZoom(bool on, float centreX, float centreY, float factor);

  const TriangleBatch& Batch() const { return batch_; }
  IDirect3DVertexBuffer9* VertexBuffer() const { return vertexBuffer_.Get(); }

 protected:
  // The vertex buffer of the batch's size and format; the result of CreateVertexBuffer.
  HRESULT CreateVertexBuffer();

  ComPtr<IDirect3DVertexBuffer9> vertexBuffer_;
  TriangleBatch batch_;
};

}  // namespace vela
