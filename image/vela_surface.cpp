#include "image/vela_surface.h"

#include <d3d9.h>

#include "core/manager_device_loss.h"
#include "core/com_ptr.h"
#include "graphics/vela3d.h"
#include "image/surface.h"
#include "image/surface_manager.h"

namespace vela::VelaSurface {
namespace {

CSurfaceManager* g_manager = nullptr;

}  // namespace

bool Start() {
  if (g_manager) return true;
  g_manager = new CSurfaceManager(Vela3D::Device());
  if (!g_manager) return false;
  JoinDeviceLoss(DeviceLossSlot::kSurfaces, g_manager);
  return true;
}

void Stop() {
  if (!g_manager) return;
  LeaveDeviceLoss(DeviceLossSlot::kSurfaces);
  // Whatever its reference count: surfaces still held elsewhere forget it.
  delete g_manager;
  g_manager = nullptr;
}

void OnLostDevice() {
  if (g_manager) g_manager->OnLostDevice();
}

void OnResetDevice() {
  if (g_manager) g_manager->OnResetDevice();
}

CSurface* Load(const char* name, std::int32_t formatKind) {
  return g_manager ? g_manager->CreateFromFile(name, formatKind) : nullptr;
}

bool CopyToBackBuffer(const RECT* destRect, CSurface* surface, const RECT* sourceRect) {
  IDirect3DDevice9* device = Vela3D::Device();
  if (!surface || !device) return false;
  ComPtr<IDirect3DSurface9> destination;
  if (IDirect3DSurface9* backBuffer = Vela3D::BackBuffer()) {
    backBuffer->AddRef();
    *destination.Out() = backBuffer;
  }
  ComPtr<IDirect3DSurface9> source;
  surface->GetSurface(source.Out());
  if (!destination || !source) return false;
  return SUCCEEDED(device->StretchRect(source.Get(), sourceRect, destination.Get(), destRect, D3DTEXF_NONE));
}

CSurfaceManager* Manager() { return g_manager; }

}  // namespace vela::VelaSurface
