// CResourceManager: a device manager whose objects (CDeviceObject) hold device resources.
// Device loss and reset reach every listed object in list order, and destroying the manager
// releases the list's reference on each object.
//
// An object that someone else still holds when its manager is destroyed (at shutdown) is
// taken out of the list and forgets its manager, so that its own later destruction touches
// nothing that is gone; it keeps no device access.
#pragma once

#include "core/device_manager.h"

namespace vela {

class CResourceManager : public CDeviceManager {
 public:
  explicit CResourceManager(IDirect3DDevice9* device) : CDeviceManager(device) {}
  ~CResourceManager() override;

  // Each listed object's operation, from the head; an object's successor is read after its
  // call. Concrete managers append their creation operations after these.
  void OnLostDevice() override;
  void OnResetDevice() override;
};

}  // namespace vela
