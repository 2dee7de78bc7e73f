#include "core/device_manager.h"

#include <utility>

#include "core/device_calls.h"

namespace vela {

CDeviceManager::CDeviceManager(IDirect3DDevice9* device) : device_(device) {
  if (device_) AddDeviceReference(device_);
}

CDeviceManager::~CDeviceManager() {
  if (IDirect3DDevice9* device = std::exchange(device_, nullptr)) ReleaseDeviceReference(device);
}

bool CDeviceManager::GetDevice(IDirect3DDevice9** device) {
  if (!device_ || !device) return false;
  AddDeviceReference(device_);
  *device = device_;
  return true;
}

WindowHandle CDeviceManager::GetFocusWindow() { return device_ ? DeviceFocusWindow(device_) : nullptr; }

}  // namespace vela
