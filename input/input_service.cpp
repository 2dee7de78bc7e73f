#include "input/input_service.h"

#include <memory>
#include <new>
#include <utility>

#include "core/process_heap.h"

namespace vela::input {

// Never destroyed: a host that unloads the plug-in without End must not have COM references
// released from inside the module's unloading, when DirectInput may be gone already.
InputService& Input() {
  static InputService& service = *new InputService;
  return service;
}

bool ControllerBlock::Allocate() {
  if (records_) return true;
  void* block = HeapAllocate(sizeof(ControllerRecord) * kMaxControllers, true);
  if (!block) return false;
  records_ = static_cast<ControllerRecord*>(block);
  std::uninitialized_value_construct_n(records_, kMaxControllers);
  return true;
}

void ControllerBlock::Free() {
  if (!records_) return;
  std::destroy_n(records_, kMaxControllers);
  HeapRelease(std::exchange(records_, nullptr));
}

void ControllerBlock::ReleaseAllStates() {
  if (!records_) return;
  const ControllerState released = ReleasedControllerState();
  for (int index = 0; index < kMaxControllers; ++index) records_[index].state = released;
}

}  // namespace vela::input
