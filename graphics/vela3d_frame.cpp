// Vela3D's frame: nested scenes, clears, presentation, the per-frame step and the recovery of
// a lost device.
#include <windows.h>

#include <d3d9.h>

#include "graphics/error_box.h"
#include "core/vela_core.h"
#include "core/device_loss.h"
#include "graphics/vela3d.h"
#include "graphics/vela3d_state.h"

namespace vela::Vela3D {
namespace {

// While the device is lost and cannot be reset yet, each Refresh waits this long (alertable)
// instead of spinning on TestCooperativeLevel.
constexpr DWORD kLostDeviceWaitMs = 10;

}  // namespace

bool BeginScene() {
  State& vela = Vela();
  HRESULT result = D3D_OK;  // an inner begin succeeds: the scene is already open
  if (vela.sceneDepth == 0) result = vela.device ? vela.device->BeginScene() : D3DERR_INVALIDCALL;
  // A failed begin still counts, so that the matching end reaches the device.
  ++vela.sceneDepth;
  return SUCCEEDED(result);
}

void EndScene() {
  State& vela = Vela();
  if (--vela.sceneDepth == 0 && vela.device) vela.device->EndScene();
}

bool Clear(DWORD flags, D3DCOLOR colour, float depth, DWORD stencil, const RECT* rectangle) {
  IDirect3DDevice9* device = Device();
  if (!device) return false;
  if (!rectangle) return SUCCEEDED(device->Clear(0, nullptr, flags, colour, depth, stencil));
  const D3DRECT area = {rectangle->left, rectangle->top, rectangle->right, rectangle->bottom};
  return SUCCEEDED(device->Clear(1, &area, flags, colour, depth, stencil));
}

void FillRect(const RECT* rectangle, D3DCOLOR colour) { Clear(D3DCLEAR_TARGET, colour, 1.0f, 0, rectangle); }

void Refresh(HWND window) {
  IDirect3DDevice9* device = Device();
  if (!device) return;
  HRESULT presented;
  if (window) {
    RECT client = {};
    GetClientRect(window, &client);
    presented = device->Present(&client, &client, window, nullptr);
  } else {
    presented = device->Present(nullptr, nullptr, nullptr, nullptr);
  }
  if (presented == D3DERR_DRIVERINTERNALERROR) {
    SendMessageA(GetActiveWindow(), WM_CLOSE, 0, 0);
    return;
  }
  if (presented != D3DERR_DEVICELOST) return;
  const HRESULT level = device->TestCooperativeLevel();
  if (level == D3DERR_DEVICELOST) {
    SleepEx(kLostDeviceWaitMs, TRUE);
  } else if (level == D3DERR_DEVICENOTRESET) {
    Restore(false);
  }
}

bool FrameStep() {
  State& vela = Vela();
  if (!vela.device || FAILED(vela.device->SetRenderTarget(0, vela.backBuffer.Get()))) return false;
  vela.cache.SetRenderState(D3DRS_ZENABLE, FALSE);
  vela.cache.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
  return true;
}

void Restore(bool force) {
  State& vela = Vela();
  if (!vela.device) return;
  if (!force && vela.device->TestCooperativeLevel() == D3D_OK) return;

  int width = 0;
  int height = 0;
  bool windowed = true;
  GetScreen(&width, &height, &windowed);
  for (D3DPRESENT_PARAMETERS* parameters : {&vela.windowedParameters, &vela.fullScreenParameters}) {
    parameters->BackBufferWidth = static_cast<UINT>(width);
    parameters->BackBufferHeight = static_cast<UINT>(height);
  }
  D3DPRESENT_PARAMETERS copy = windowed ? vela.windowedParameters : vela.fullScreenParameters;

  // Every default-pool resource must be gone before the reset.
  NotifyLostDevice();
  vela.eventQuery.Reset();
  vela.occlusionQuery.Reset();
  vela.backBuffer.Reset();

  if (FAILED(vela.device->Reset(&copy))) ErrorBox(MB_ICONERROR, "ERROR", "デバイスの復帰に失敗");

  vela.device->GetRenderTarget(0, vela.backBuffer.Out());
  CreateQueries();
  NotifyResetDevice();
  ApplyStateCache();
}

}  // namespace vela::Vela3D
