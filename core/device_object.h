// CDeviceObject: an object made by a resource manager. It holds one reference on its manager
// and stands in the manager's list from construction to destruction, so that the manager
// reaches it on device loss and reset; it reaches the device through the manager.
//
// The usual life: construct on the manager, call the concrete creation operation, and Release
// when that fails (the object then leaves the list again).
#pragma once

#include <cstdint>

#include "core/base_object.h"
#include "core/device_types.h"

namespace vela {

class CResourceManager;

// A texture as a device object binds it to a sampler stage (CTexture is one).
class DeviceTexture {
 public:
  // The default-pool texture with a new reference, or null while there is none (after a
  // device loss).
  virtual IDirect3DBaseTexture9* AcquireDeviceTexture() = 0;

 protected:
  ~DeviceTexture() = default;
};

class CDeviceObject : public CBaseObject {
 public:
  explicit CDeviceObject(CResourceManager* manager);  // null: an object without a manager
  // Runs after the concrete class has released its Direct3D interfaces.
  ~CDeviceObject() override;

  // The virtual operations, in their fixed order after those of CBaseObject.
  virtual void OnLostDevice() = 0;   // gives up what lives in the device's default pool
  virtual void OnResetDevice() = 0;  // creates it again
  // Binds the texture's default-pool texture to sampler `stage`; a null texture, or one without
  // a default-pool texture (after a device loss), unbinds the stage.
  virtual ResultCode SetTexture(std::uint32_t stage, DeviceTexture* texture);
  // The Japanese (UTF-8) text of a result code, in a buffer of this class's own that the next
  // call overwrites.
  virtual const char* GetErrorText(ResultCode result);
  virtual IDirect3DDevice9* GetDevice();
  virtual WindowHandle GetFocusWindow();

  CResourceManager* GetManager() const { return manager_; }

 private:
  friend class CResourceManager;

  CResourceManager* manager_ = nullptr;
};

}  // namespace vela
