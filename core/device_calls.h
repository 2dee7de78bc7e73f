// The Direct3D calls of the object bases, kept apart so that the bases themselves build and
// are tested natively. On Windows they are made on the device. The native build has no
// Direct3D: there a device pointer is an opaque token that is never dereferenced, nothing is
// counted, no focus window is known and binding a texture answers the invalid-call code.
#pragma once

#include <cstdint>

#include "core/device_types.h"

namespace vela {

class DeviceTexture;

void AddDeviceReference(IDirect3DDevice9* device);
void ReleaseDeviceReference(IDirect3DDevice9* device);
WindowHandle DeviceFocusWindow(IDirect3DDevice9* device);
// SetTexture on the device with `texture`'s default-pool texture (null unbinds). The one way
// every texture reaches a sampler stage.
ResultCode BindDeviceTexture(IDirect3DDevice9* device, std::uint32_t stage, DeviceTexture* texture);

}  // namespace vela
