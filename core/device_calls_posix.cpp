// Natively there is no Direct3D; see device_calls.h.
#include "core/device_calls.h"
#include "core/device_object.h"

namespace vela {

void AddDeviceReference(IDirect3DDevice9*) {}
void ReleaseDeviceReference(IDirect3DDevice9*) {}
WindowHandle DeviceFocusWindow(IDirect3DDevice9*) { return nullptr; }
ResultCode BindDeviceTexture(IDirect3DDevice9*, std::uint32_t, DeviceTexture*) { return result::kInvalidCall; }

}  // namespace vela
