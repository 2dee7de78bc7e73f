#include "input/mouse_state.h"

namespace vela::input {

void Mouse::Sample(const std::array<bool, kMouseButtons>& down, std::int32_t x, std::int32_t y) {
  for (std::size_t button = 0; button < down.size(); ++button) {
    MouseButtonSample& sample = sample_.buttons[button];
    sample.state = static_cast<MouseButtonState>((down[button] ? 2 : 0) + (sample.wasDown ? 1 : 0));
    sample.wasDown = down[button];
    sample.doubleClicked = pendingDoubleClicks_[button];
    pendingDoubleClicks_[button] = false;
  }
  sample_.motionX = x - sample_.x;
  sample_.motionY = y - sample_.y;
  sample_.x = x;
  sample_.y = y;
}

}  // namespace vela::input
