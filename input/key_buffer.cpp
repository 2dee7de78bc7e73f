#include "input/key_buffer.h"

#include <algorithm>

namespace vela::input {

void KeyBuffer::Fill(std::span<const KeyEvent> events) {
  const std::size_t kept = std::min<std::size_t>(events.size(), events_.size());
  std::copy_n(events.begin(), kept, events_.begin());
  count_ = static_cast<int>(kept);
  position_ = 0;
}

bool KeyBuffer::Next(std::int32_t& key) {
  key = 0;
  if (position_ >= count_) return false;
  const KeyEvent& event = events_[static_cast<std::size_t>(position_++)];
  if ((event.data & 0x80) != 0) key = static_cast<std::int32_t>(event.scanCode);
  return key != 0;
}

}  // namespace vela::input
