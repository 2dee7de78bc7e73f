#include "core/manager_device_loss.h"

#include <array>
#include <cstddef>

namespace vela {
namespace {

// One per slot, in static storage, so that joining allocates nothing and a manager needs no
// second base class.
class ManagerSlot final : public DeviceLossHandler {
 public:
  void Set(CDeviceManager* manager) { manager_ = manager; }
  void OnLostDevice() override { manager_->OnLostDevice(); }
  void OnResetDevice() override { manager_->OnResetDevice(); }

 private:
  CDeviceManager* manager_ = nullptr;
};

std::array<ManagerSlot, static_cast<std::size_t>(DeviceLossSlot::kCount)> g_slots;

}  // namespace

void JoinDeviceLoss(DeviceLossSlot slot, CDeviceManager* manager) {
  const auto index = static_cast<std::size_t>(slot);
  if (index >= g_slots.size()) return;
  if (!manager) {
    LeaveDeviceLoss(slot);
    return;
  }
  g_slots[index].Set(manager);
  JoinDeviceLoss(slot, static_cast<DeviceLossHandler*>(&g_slots[index]));
}

}  // namespace vela
