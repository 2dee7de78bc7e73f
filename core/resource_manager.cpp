#include "core/resource_manager.h"

#include "core/device_object.h"

namespace vela {

// Only CDeviceObject's constructor appends to a resource manager, so every listed object is
// one.
CResourceManager::~CResourceManager() {
  // Always the current head: releasing one object may destroy others of the list (a child
  // giving back its parent), which then unlink themselves.
  while (CBaseObject* object = GetFirst()) {
    Unlink(object);
    static_cast<CDeviceObject*>(object)->manager_ = nullptr;
    object->Release();
  }
}

void CResourceManager::OnLostDevice() {
  for (CBaseObject* object = GetFirst(); object; object = object->GetNext()) {
    static_cast<CDeviceObject*>(object)->OnLostDevice();
  }
}

void CResourceManager::OnResetDevice() {
  for (CBaseObject* object = GetFirst(); object; object = object->GetNext()) {
    static_cast<CDeviceObject*>(object)->OnResetDevice();
  }
}

}  // namespace vela
