#include "sprite/primitive_2d.h"

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "graphics/vela3d.h"
#include "sprite/triangle_clip.h"
#include "sprite/triangle_transform.h"

namespace vela {

CPrimitive2D::~CPrimitive2D() {
  LogRed("CPrimitive2D Destruct");
  LogBreak();
}

bool CPrimitive2D::PushTriangles(const TriangleRecord* records, std::uint32_t count) {
  return batch_.PushTriangles(records, count);
}

void CPrimitive2D::ResetBuffer() { batch_.Reset(); }

void CPrimitive2D::UpdateBuffer() {
  if (batch_.VertexCount() == 0 || !vertexBuffer_) return;
  // Sorted: the whole buffer, since the drawing order is laid out anew; unsorted: what is used.
  const UINT bytes = batch_.SortByDepth() ? 0 : batch_.StoreUsed();
  void* locked = nullptr;
  if (FAILED(vertexBuffer_->Lock(0, bytes, &locked, D3DLOCK_DISCARD)) || !locked) return;
  batch_.WriteDrawOrder(static_cast<std::byte*>(locked), batch_.BufferBytes());
  vertexBuffer_->Unlock();
}

void CPrimitive2D::Rendering() {
  const std::uint32_t vertices = batch_.VertexCount();
  IDirect3DDevice9* device = GetDevice();
  if (vertices == 0 || !vertexBuffer_ || !device) return;
  Vela3D::SelectVertexProcessing(0, 0);
  device->SetFVF(batch_.Fvf());
  device->SetStreamSource(0, vertexBuffer_.Get(), 0, batch_.Stride());
  device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, vertices / 3);
}

int CPrimitive2D::ClipTriangle(Vertex2D* out, const TriangleRecord& in) {
  return vela::ClipTriangle(batch_.Scissor(), in, out);
}
int CPrimitive2D::ClipLeft(const Vertex2D* in, Vertex2D* out, int count) {
  return vela::ClipLeft(in, out, count, batch_.Scissor().left);
}
int CPrimitive2D::ClipTop(const Vertex2D* in, Vertex2D* out, int count) {
  return vela::ClipTop(in, out, count, batch_.Scissor().top);
}
int CPrimitive2D::ClipRight(const Vertex2D* in, Vertex2D* out, int count) {
  return vela::ClipRight(in, out, count, batch_.Scissor().right);
}
int CPrimitive2D::ClipBottom(const Vertex2D* in, Vertex2D* out, int count) {
  return vela::ClipBottom(in, out, count, batch_.Scissor().bottom);
}

void CPrimitive2D::TransformTriangle(TriangleRecord& out, const TriangleRecord& in) {
  vela::TransformTriangle(batch_.Transform(), in, out);
}

bool CPrimitive2D::CreateBuffers(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth) {
  if (!batch_.Configure(capacity, vertexType, sortByDepth)) {
    LogRed("頂点バッファの生成に失敗 [ %s ]", GetErrorText(D3DERR_INVALIDCALL));
    LogBreak();
    return false;
  }
  batch_.Transform().scale = {ScaleX(1.0f), ScaleY(1.0f)};

  LogPlain(" : 描画用頂点バッファ生成 : ");
  const HRESULT result = CreateVertexBuffer();
  if (FAILED(result)) {
    LogRed("頂点バッファの生成に失敗 [ %s ]", GetErrorText(result));
    LogBreak();
    return false;
  }
  if (sortByDepth) {
    LogPlain("頂点ソート用バッファ生成 : ");
    if (!batch_.AllocateStore()) {
      LogRed("頂点ソート用メモリの確保に失敗");
      LogBreak();
      return false;
    }
    LogPlain("頂点ソート用リストバッファ生成 : ");
    if (!batch_.AllocateBuckets()) {
      LogRed("頂点ソート用リストメモリの確保に失敗");
      LogBreak();
      return false;
    }
  } else {
    LogPlain("頂点保存用バッファ生成 : ");
    if (!batch_.AllocateStore()) {
      LogRed("頂点用メモリの確保に失敗");
      LogBreak();
      return false;
    }
  }
  LogPlain("VERTEX COUNT [ %4d ] : VERTEX SIZE [ %3dBYTE ] : ", static_cast<int>(capacity),
           static_cast<int>(batch_.Stride()));
  return true;
}

bool CPrimitive2D::Resize(std::uint32_t capacity) {
  LogBlue("CPrimitive2D::Resize");
  vertexBuffer_.Reset();
  const bool made = CreateBuffers(capacity, batch_.VertexType(), batch_.SortByDepth());
  if (made) {
    LogGreen("Success!");
  } else {
    LogRed("Failed!");
  }
  LogBreak();
  return made;
}

}  // namespace vela
