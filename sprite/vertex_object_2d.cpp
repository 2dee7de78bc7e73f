#include "sprite/vertex_object_2d.h"

#include "core/vela_debug.h"

namespace vela {

HRESULT CVertexObject2D::CreateVertexBuffer() {
  IDirect3DDevice9* device = GetDevice();
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateVertexBuffer(batch_.BufferBytes(), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, batch_.Fvf(),
                                    D3DPOOL_DEFAULT, vertexBuffer_.Out(), nullptr);
}

void CVertexObject2D::OnLostDevice() { vertexBuffer_.Reset(); }

void CVertexObject2D::OnResetDevice() {
  if (!batch_.HasStore()) return;
  const HRESULT result = CreateVertexBuffer();
  if (FAILED(result)) {
    vertexBuffer_.Reset();
    LogRed("頂点バッファのリストアに失敗 [ %s ]", GetErrorText(result));
    LogBreak();
  }
  UpdateBuffer();
}

std::uint32_t CVertexObject2D::GetRequestedCount() { return batch_.RequestedCount(); }

void CVertexObject2D::SetScissor(const PixelRect* rectangle) {
  ScissorSetting& scissor = batch_.Scissor();
  if (!rectangle) {
    scissor.on = false;
    return;
  }
  scissor = {true, static_cast<float>(rectangle->left), static_cast<float>(rectangle->top),
             static_cast<float>(rectangle->right), static_cast<float>(rectangle->bottom)};
}

void CVertexObject2D::SetPerspective(bool on, float centreX, float centreY, float depthFactor) {
  batch_.Transform().perspective = {on, centreX, centreY, depthFactor};
}

void CVertexObject2D::SetZoom(bool on, float centreX, float centreY, float factor) {
  batch_.Transform().zoom = {on, centreX, centreY, factor};
}

}  // namespace vela
