#include "sprite/vela_sprite.h"

#include "core/manager_device_loss.h"
#include "graphics/settings_2d.h"
#include "graphics/vela3d.h"
#include "sprite/sprite_2d.h"
#include "sprite/sprite_2d_manager.h"

namespace vela {
namespace {

CSprite2DManager* g_sprites = nullptr;
CPrimitive2DManager* g_primitives = nullptr;

template <typename Manager>
bool StartManager(Manager*& manager, DeviceLossSlot lossSlot, Object2DSlot broadcastSlot) {
  if (manager) return true;
  manager = new Manager(Vela3D::Device());
  if (!manager) return false;
  JoinDeviceLoss(lossSlot, static_cast<CDeviceManager*>(manager));
  JoinObject2DBroadcast(broadcastSlot, manager);
  return true;
}

template <typename Manager>
void StopManager(Manager*& manager, DeviceLossSlot lossSlot, Object2DSlot broadcastSlot) {
  if (!manager) return;
  LeaveObject2DBroadcast(broadcastSlot);
  LeaveDeviceLoss(lossSlot);
  delete manager;  // whatever its count: the shutdown destroys managers directly
  manager = nullptr;
}

}  // namespace

namespace VelaSprite {

bool Start() { return StartManager(g_sprites, DeviceLossSlot::kSprites2D, Object2DSlot::kSprites); }
void Stop() { StopManager(g_sprites, DeviceLossSlot::kSprites2D, Object2DSlot::kSprites); }

void OnLostDevice() {
  if (g_sprites) g_sprites->OnLostDevice();
}
void OnResetDevice() {
  if (g_sprites) g_sprites->OnResetDevice();
}

CSprite2D* Create(std::uint32_t capacity, std::uint32_t vertexType, bool sortByDepth) {
  return g_sprites ? g_sprites->Create(capacity, vertexType, sortByDepth) : nullptr;
}

void SetScissor(bool on, const PixelRect* rectangle) {
  if (g_sprites) g_sprites->ScissorBroadcast(on ? rectangle : nullptr);
}
void SetZoom(bool on, float centreX, float centreY, float factor) {
  if (g_sprites) g_sprites->ZoomBroadcast(on, centreX, centreY, factor);
}
void SetPerspective(bool on, float centreX, float centreY, float depthFactor) {
  if (g_sprites) g_sprites->PerspectiveBroadcast(on, centreX, centreY, depthFactor);
}

void AttatchTexture(CSprite2D* sprite, std::uint32_t stage, CTexture* texture) {
  if (sprite) sprite->AttatchTexture(stage, texture);
}
void ResetBuffer(CSprite2D* sprite) {
  if (sprite) sprite->ResetBuffer();
}
void UpdateBuffer(CSprite2D* sprite) {
  if (sprite) sprite->UpdateBuffer();
}
void Rendering(CSprite2D* sprite) {
  if (sprite) sprite->Rendering();
}
bool DrawSquare(CSprite2D* sprite, const Rect2D& destination, float z, const Rect2D* source, D3DCOLOR colour,
                std::uint32_t stages) {
  return sprite && sprite->DrawSquare(destination, z, source, colour, stages);
}
void DrawList(CSprite2D* sprite, const RibbonPoints& points, const Rect2D& source) {
  if (sprite) sprite->DrawList(points, source);
}

CSprite2DManager* Manager() { return g_sprites; }

}  // namespace VelaSprite

namespace VelaPrimitive2D {

bool Start() { return StartManager(g_primitives, DeviceLossSlot::kPrimitives2D, Object2DSlot::kPrimitives); }
void Stop() { StopManager(g_primitives, DeviceLossSlot::kPrimitives2D, Object2DSlot::kPrimitives); }
CPrimitive2DManager* Manager() { return g_primitives; }

}  // namespace VelaPrimitive2D
}  // namespace vela
