#include "image/vela_simple.h"

#include <cstring>

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "core/com_ptr.h"
#include "core/device_loss.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/vela_texture.h"
#include "math/vela_math.h"

namespace vela::VelaSimple {
namespace {

constexpr UINT kBufferBytes = kMaxVertices * sizeof(Vertex2D);  // 13,312: what every draw locks
// The buffer made again after a reset is a little longer; draws still lock only kBufferBytes.
constexpr UINT kRestoredBufferBytes = 13520;
constexpr DWORD kBufferUsage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;
constexpr const char* kBufferFailed = "頂点バッファの生成に失敗 [ %s ]";

ComPtr<IDirect3DVertexBuffer9> g_buffer;

HRESULT CreateBuffer(UINT bytes) {
  IDirect3DDevice9* device = Vela3D::Device();
  if (!device) return D3DERR_INVALIDCALL;
  return device->CreateVertexBuffer(bytes, kBufferUsage, kVertex2DFvf, D3DPOOL_DEFAULT, g_buffer.Out(), nullptr);
}

class SimpleDrawingLoss final : public DeviceLossHandler {
 public:
  void OnLostDevice() override { Finalize(); }
  void OnResetDevice() override { Restore(); }
};
SimpleDrawingLoss g_loss;

void BindStage(DWORD stage, CTexture* texture) { Vela3D::BindTexture(stage, texture); }

}  // namespace

bool Initialize() {
  const HRESULT result = CreateBuffer(kBufferBytes);
  if (FAILED(result)) {
    LogHeadRow("VelaSimpleクラスの初期化");
    LogBreak();
    LogRed(kBufferFailed, Vela3D::ErrorText(result));
    LogBreak();
    return false;
  }
  JoinDeviceLoss(DeviceLossSlot::kSimpleDrawing, &g_loss);
  return true;
}

void Finalize() { g_buffer.Reset(); }

void Restore() {
  const HRESULT result = CreateBuffer(kRestoredBufferBytes);
  if (FAILED(result)) {
    LogRed(kBufferFailed, Vela3D::ErrorText(result));
    LogBreak();
  }
}

void Shutdown() {
  LeaveDeviceLoss(DeviceLossSlot::kSimpleDrawing);
  Finalize();
}

bool HasVertexBuffer() { return static_cast<bool>(g_buffer); }

void DrawTexture(const Rect2D* destination, std::int32_t angle, const Rect2D* sources, D3DCOLOR colour,
                 CTexture* const* textures, std::uint32_t count, std::int32_t centreOffsetX,
                 std::int32_t centreOffsetY) {
  if (!destination || (count > 0 && (!sources || !textures))) return;
  if (count > kVertex2DStages) count = kVertex2DStages;

  const float halfW = destination->width * 0.5f;
  const float halfH = destination->height * 0.5f;
  const auto ox = static_cast<float>(centreOffsetX);
  const auto oy = static_cast<float>(centreOffsetY);
  // Corners about the rotation centre: top-left, top-right, bottom-right, bottom-left.
  math::Vector2 corners[4] = {
      {-halfW - ox, -halfH - oy}, {halfW - ox, -halfH - oy}, {halfW - ox, halfH - oy}, {-halfW - ox, halfH - oy}};

  Vertex2D vertices[4] = {};
  for (int i = 0; i < 4; ++i) {
    math::Rotate(corners[i], angle);
    vertices[i].x = ox + corners[i].x + destination->x + halfW;
    vertices[i].y = oy + corners[i].y + destination->y + halfH;
    vertices[i].z = 0.0f;
    vertices[i].rhw = 1.0f;
    vertices[i].diffuse = colour;
  }

  // The inset moves every edge of each source rectangle d image pixels inward.
  const float d = VelaTexture::GetOffsetUV();
  for (std::uint32_t s = 0; s < count; ++s) {
    const Rect2D& src = sources[s];
    const float left = src.x + d;
    const float top = src.y + d;
    const float right = src.x + src.width - d;
    const float bottom = src.y + src.height - d;
    vertices[0].uv[s] = {left, top};
    vertices[1].uv[s] = {right, top};
    vertices[2].uv[s] = {right, bottom};
    vertices[3].uv[s] = {left, bottom};
  }
  DrawPolygon(vertices, 4, textures, count);
}

void DrawPolygon(Vertex2D* vertices, std::uint32_t vertexCount, CTexture* const* textures, std::uint32_t count) {
  if (!g_buffer || !vertices || vertexCount > kMaxVertices) return;
  if (count > 0 && !textures) return;
  if (count > kVertex2DStages) count = kVertex2DStages;
  void* locked = nullptr;
  if (FAILED(g_buffer->Lock(0, kBufferBytes, &locked, D3DLOCK_DISCARD)) || !locked) return;

  auto* out = static_cast<std::uint8_t*>(locked);
  for (std::uint32_t i = 0; i < vertexCount; ++i) {
    Vertex2D& vertex = vertices[i];
    for (std::uint32_t s = 0; s < count; ++s) {
      vertex.uv[s].u = VelaTexture::ToU(textures[s], vertex.uv[s].u);
      vertex.uv[s].v = VelaTexture::ToV(textures[s], vertex.uv[s].v);
    }
    // Pixel centres: a vertex at a pixel's edge samples its first texel in full.
    vertex.x = ScaleX(vertex.x) - 0.5f;
    vertex.y = ScaleY(vertex.y) - 0.5f;
    std::memcpy(out + std::size_t{i} * sizeof(Vertex2D), &vertex, sizeof(Vertex2D));
  }
  g_buffer->Unlock();
  RenderFan(vertexCount, textures, count);
}

void RenderFan(std::uint32_t vertexCount, CTexture* const* textures, std::uint32_t count) {
  IDirect3DDevice9* device = Vela3D::Device();
  if (!device || !g_buffer || vertexCount < 3) return;
  for (DWORD stage = 0; stage < kVertex2DStages; ++stage) {
    BindStage(stage, textures && stage < count ? textures[stage] : nullptr);
  }
  Vela3D::SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  Vela3D::SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  Vela3D::SelectVertexProcessing(0, 0);
  device->SetStreamSource(0, g_buffer.Get(), 0, sizeof(Vertex2D));
  device->SetFVF(kVertex2DFvf);
  device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, vertexCount - 2);
}

}  // namespace vela::VelaSimple
