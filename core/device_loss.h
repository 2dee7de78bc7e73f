// The owners of default-pool resources, which give them up before a device reset and take
// them back after it. Vela3D's restore walks them in the fixed order of the slots: first every
// OnLostDevice, then (after the reset) every OnResetDevice in the same order. Owners join when
// they are created and leave when destroyed.
#pragma once

namespace vela {

class DeviceLossHandler {
 public:
  virtual void OnLostDevice() = 0;
  virtual void OnResetDevice() = 0;

 protected:
  ~DeviceLossHandler() = default;
};

enum class DeviceLossSlot {
  kTextures,
  kSurfaces,
  kSprites2D,
  kSprites3D,
  kPrimitives2D,
  kPrimitives3D,
  kLines2D,
  kLines3D,
  kPoints2D,
  kPoints3D,
  kModels,
  kGridMeshes,
  kSimpleDrawing,
  kShaderEffects,
  kCount
};

void JoinDeviceLoss(DeviceLossSlot slot, DeviceLossHandler* handler);
void LeaveDeviceLoss(DeviceLossSlot slot);

void NotifyLostDevice();   // every handler's OnLostDevice, in slot order
void NotifyResetDevice();  // every handler's OnResetDevice, in slot order

}  // namespace vela
