#include "input/key_table.h"

#include "input/controller_state.h"

namespace vela::input {

void KeyTable::Load(const std::uint8_t (&deviceState)[kKeyCount]) {
  for (int key = 0; key < kKeyCount; ++key) keys_[key] = DownFlag(deviceState[key]);
}

bool KeyTable::IsDown(std::int32_t scanCode) const {
  if (scanCode < 0 || scanCode >= kKeyCount) return false;
  return keys_[static_cast<std::size_t>(scanCode)] == 1;
}

}  // namespace vela::input
