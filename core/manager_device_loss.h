// Puts an object manager into Vela3D's device-loss order (graphics/device_loss.h): the slot
// then calls the manager's OnLostDevice and OnResetDevice, which a resource manager hands on
// to its objects in list order. So the order is: slots in their fixed order, and within a slot
// the manager's list from the head. LeaveDeviceLoss(slot) takes the manager out again; a
// manager must leave before it is destroyed.
#pragma once

#include "core/device_manager.h"
#include "core/device_loss.h"

namespace vela {

// A null manager empties the slot.
void JoinDeviceLoss(DeviceLossSlot slot, CDeviceManager* manager);

}  // namespace vela
