// CDeviceManager: a list of objects that holds the Direct3D device it was made on (one COM
// reference, given back at destruction). Device loss and reset do nothing here; resource
// managers forward them to their objects (CResourceManager).
#pragma once

#include "core/base_list.h"
#include "core/device_types.h"

namespace vela {

class CDeviceManager : public CBaseList {
 public:
  explicit CDeviceManager(IDirect3DDevice9* device);  // null: a manager without a device
  ~CDeviceManager() override;

  // The virtual operations, in their fixed order after those of CBaseObject.
  // False without a device; otherwise the device with a new COM reference for the caller.
  virtual bool GetDevice(IDirect3DDevice9** device);
  virtual IDirect3DDevice9* GetDeviceRaw() { return device_; }
  // The device's focus window (its creation parameters); null without a device.
  virtual WindowHandle GetFocusWindow();
  virtual void OnLostDevice() {}
  virtual void OnResetDevice() {}

 private:
  IDirect3DDevice9* device_ = nullptr;
};

}  // namespace vela
