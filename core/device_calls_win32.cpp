// The object bases' Direct3D calls on the device; see device_calls.h.
#include <windows.h>

#include <d3d9.h>

#include <type_traits>

#include "core/device_calls.h"
#include "core/device_object.h"
#include "graphics/com_ptr.h"

namespace vela {
namespace {

static_assert(std::is_same_v<WindowHandle, HWND>, "device_types.h must declare HWND as windows.h does");
static_assert(std::is_same_v<ResultCode, std::int32_t> && sizeof(HRESULT) == sizeof(ResultCode));

TextureFetch g_textureFetch = nullptr;

}  // namespace

void AddDeviceReference(IDirect3DDevice9* device) { device->AddRef(); }

void ReleaseDeviceReference(IDirect3DDevice9* device) { device->Release(); }

WindowHandle DeviceFocusWindow(IDirect3DDevice9* device) {
  D3DDEVICE_CREATION_PARAMETERS parameters = {};
  return SUCCEEDED(device->GetCreationParameters(&parameters)) ? parameters.hFocusWindow : nullptr;
}

ResultCode BindDeviceTexture(IDirect3DDevice9* device, std::uint32_t stage, CTexture* texture) {
  ComPtr<IDirect3DBaseTexture9> bound;
  if (texture && g_textureFetch) *bound.Out() = g_textureFetch(texture);
  return static_cast<ResultCode>(device->SetTexture(stage, bound.Get()));
}

void SetTextureFetch(TextureFetch fetch) { g_textureFetch = fetch; }

}  // namespace vela
