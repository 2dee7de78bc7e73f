#include "core/device_loss.h"

#include <array>
#include <cstddef>

namespace vela {
namespace {

std::array<DeviceLossHandler*, static_cast<std::size_t>(DeviceLossSlot::kCount)> g_handlers{};

}  // namespace

void JoinDeviceLoss(DeviceLossSlot slot, DeviceLossHandler* handler) {
  const auto index = static_cast<std::size_t>(slot);
  if (index < g_handlers.size()) g_handlers[index] = handler;
}

void LeaveDeviceLoss(DeviceLossSlot slot) { JoinDeviceLoss(slot, nullptr); }

void NotifyLostDevice() {
  for (DeviceLossHandler* handler : g_handlers) {
    if (handler) handler->OnLostDevice();
  }
}

void NotifyResetDevice() {
  for (DeviceLossHandler* handler : g_handlers) {
    if (handler) handler->OnResetDevice();
  }
}

}  // namespace vela
