#include "image/vela_texture.h"

#include "core/device_object.h"
#include "core/manager_device_loss.h"
#include "graphics/vela3d.h"
#include "image/texture.h"
#include "image/texture_manager.h"
#include "image/vela_simple.h"
#include "imagecodec/worker_pool.h"

namespace vela::VelaTexture {
namespace {

CTextureManager* g_manager = nullptr;

}  // namespace

bool Start() {
  g_manager = new CTextureManager(Vela3D::Device());
  if (!g_manager) return false;
  JoinDeviceLoss(DeviceLossSlot::kTextures, g_manager);
  return true;
}

void Stop() {
  // The codec's encoder threads, started by the first image loaded, end with the library.
  codec::StopWorkers();
  if (!g_manager) return;
  LeaveDeviceLoss(DeviceLossSlot::kTextures);
  delete g_manager;  // whatever its count: the shutdown ends the manager
  g_manager = nullptr;
}

void OnLostDevice() {
  if (g_manager) g_manager->OnLostDevice();
}

void OnResetDevice() {
  if (g_manager) g_manager->OnResetDevice();
}

void Release(CTexture* texture) { ReleaseObject(texture); }

void AddRef(CTexture* texture) { AddRefObject(texture); }

CTexture* Create(std::uint32_t width, std::uint32_t height, std::int32_t formatKind) {
  return g_manager ? g_manager->Create(width, height, formatKind) : nullptr;
}

CTexture* Load(const char* name, std::int32_t formatKind, D3DCOLOR colorKey) {
  return g_manager ? g_manager->CreateFromFile(name, formatKind, colorKey) : nullptr;
}

CTexture* LoadFromQPK(const char* archive, const char* name, std::int32_t formatKind) {
  return g_manager ? g_manager->CreateFromQPK(archive, name, formatKind) : nullptr;
}

void SetOffsetUV(float value) {
  if (g_manager) g_manager->SetOffsetUV(value);
}

float GetOffsetUV() { return g_manager ? g_manager->GetOffsetUV() : 0.0f; }

void SetFilter(bool on) {
  SetOffsetUV(on ? 0.5f : 0.0f);
  Vela3D::SetFilter(on);
}

void ApplyStateSet(const RenderStateSet& set) {
  SetOffsetUV(set.filter ? 0.5f : 0.0f);
  Vela3D::ApplyStateSet(set);
}

float ToU(CTexture* texture, float x) { return texture ? texture->ToU(x) : 0.0f; }

float ToV(CTexture* texture, float y) { return texture ? texture->ToV(y) : 0.0f; }

void Draw(CTexture* texture, const Rect2D* destination, const Rect2D* source, D3DCOLOR colour) {
  CTexture* const textures[1] = {texture};
  VelaSimple::DrawTexture(destination, 0, source, colour, textures, 1, 0, 0);
}

void DrawRotate(CTexture* texture, const Rect2D* destination, const Rect2D* source, D3DCOLOR colour,
                std::int32_t angle, std::int32_t centreOffsetX, std::int32_t centreOffsetY) {
  CTexture* const textures[1] = {texture};
  VelaSimple::DrawTexture(destination, angle, source, colour, textures, 1, centreOffsetX, centreOffsetY);
}

CTextureManager* Manager() { return g_manager; }

}  // namespace vela::VelaTexture
