// The object bases' Direct3D calls on the device; see device_calls.h.
#include <windows.h>

#include <d3d9.h>

#include <type_traits>

#include "core/device_calls.h"
#include "core/device_object.h"
#include "core/com_ptr.h"

namespace vela {
namespace {

static_assert(std::is_same_v<WindowHandle, HWND>, "device_types.h must declare HWND as windows.h does");
static_assert(std::is_same_v<ResultCode, std::int32_t> && sizeof(HRESULT) == sizeof(ResultCode));

}  // namespace

void AddDeviceReference(IDirect3DDevice9* device) { device->AddRef(); }

void ReleaseDeviceReference(IDirect3DDevice9* device) { device->Release(); }

WindowHandle DeviceFocusWindow(IDirect3DDevice9* device) {
  D3DDEVICE_CREATION_PARAMETERS parameters = {};
  return SUCCEEDED(device->GetCreationParameters(&parameters)) ? parameters.hFocusWindow : nullptr;
}

ResultCode BindDeviceTexture(IDirect3DDevice9* device, std::uint32_t stage, DeviceTexture* texture) {
  ComPtr<IDirect3DBaseTexture9> bound;
  if (texture) *bound.Out() = texture->AcquireDeviceTexture();
  return static_cast<ResultCode>(device->SetTexture(stage, bound.Get()));
}

}  // namespace vela
