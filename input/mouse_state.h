// The mouse as the input service samples it once per frame: the left, right and middle buttons
// with their edges and double clicks, the cursor in client coordinates with its motion, and the
// wheel total. The window's message hook reports double clicks and wheel turns between frames.
#pragma once

#include <array>
#include <cstdint>

namespace vela::input {

enum class MouseButton { kLeft, kRight, kMiddle };
inline constexpr int kMouseButtons = 3;

// 2 x (down now) + (down in the previous frame).
enum MouseButtonState : std::uint8_t {
  kButtonUp = 0,
  kButtonReleased = 1,  // released in this frame
  kButtonPressed = 2,   // pressed in this frame
  kButtonHeld = 3,
};

struct MouseButtonSample {
  MouseButtonState state = kButtonUp;
  bool wasDown = false;
  bool doubleClicked = false;  // a double click arrived since the previous frame
};

struct MouseSample {
  std::array<MouseButtonSample, kMouseButtons> buttons = {};
  std::int32_t x = 0, y = 0;              // the cursor in client coordinates
  std::int32_t motionX = 0, motionY = 0;  // since the previous frame
  std::int32_t wheelTotal = 0;            // the sum of every wheel delta received
};

class Mouse {
 public:
  // From the window's messages, between frames.
  void NoteDoubleClick(MouseButton button) { pendingDoubleClicks_[Index(button)] = true; }
  // The total wraps around like the 32-bit counter it is.
  void AddWheelDelta(std::int16_t delta) {
    sample_.wheelTotal = static_cast<std::int32_t>(static_cast<std::uint32_t>(sample_.wheelTotal) +
                                                   static_cast<std::uint32_t>(std::int32_t{delta}));
  }

  // The frame's sample: the buttons' down flags (left, right, middle) and the cursor. The
  // double clicks noted since the previous frame move into the sample.
  void Sample(const std::array<bool, kMouseButtons>& down, std::int32_t x, std::int32_t y);
  void Reset() { *this = Mouse{}; }

  const MouseSample& State() const { return sample_; }

 private:
  static std::size_t Index(MouseButton button) { return static_cast<std::size_t>(button); }

  MouseSample sample_;
  std::array<bool, kMouseButtons> pendingDoubleClicks_ = {};
};

}  // namespace vela::input
