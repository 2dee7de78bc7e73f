#include "core/device_object.h"

#include <cstdio>

#include "core/device_calls.h"
#include "core/resource_manager.h"

namespace vela {

CDeviceObject::CDeviceObject(CResourceManager* manager) : manager_(manager) {
  if (!manager_) return;
  manager_->AddRef();
  manager_->Append(this);
}

CDeviceObject::~CDeviceObject() {
  if (!manager_) return;  // never had one, or it was destroyed first
  manager_->Unlink(this);
  manager_->Release();
}

ResultCode CDeviceObject::SetTexture(std::uint32_t stage, DeviceTexture* texture) {
  IDirect3DDevice9* device = GetDevice();
  return device ? BindDeviceTexture(device, stage, texture) : result::kInvalidCall;
}

const char* CDeviceObject::GetErrorText(ResultCode result) {
  static char text[256];
  std::snprintf(text, sizeof text, "%s", ErrorTextUtf8(result));
  return text;
}

IDirect3DDevice9* CDeviceObject::GetDevice() { return manager_ ? manager_->GetDeviceRaw() : nullptr; }

WindowHandle CDeviceObject::GetFocusWindow() { return manager_ ? manager_->GetFocusWindow() : nullptr; }

}  // namespace vela
