// The key buffer: the keyboard events of the last frame, as DirectInput buffered them (at most
// 32), walked once by the host through KeyBufferLoop.
//
// Every event is taken in turn, presses and releases alike. A press hands out its scan code; a
// release hands out 0 and answers false, which ends a host loop that runs while the answer is
// true. The presses behind it are still handed out by the calls that follow, since the read
// position has moved past the release. Refilling resets the position.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vela::input {

inline constexpr int kKeyBufferCapacity = 32;

// The two words of a DirectInput keyboard event that the buffer reads.
struct KeyEvent {
  std::uint32_t scanCode;  // the object offset: a DIK_ value
  std::uint32_t data;      // bit 7 set: the key went down; clear: it went up
};

class KeyBuffer {
 public:
  // Keeps the first 32 events and starts reading at the first.
  void Fill(std::span<const KeyEvent> events);
  void Clear() { Fill({}); }

  // The next event: true with its scan code for a press, false with 0 for a release or when
  // every event has been taken.
  bool Next(std::int32_t& key);

  int Count() const { return count_; }
  int Position() const { return position_; }

 private:
  std::array<KeyEvent, kKeyBufferCapacity> events_ = {};
  int count_ = 0;
  int position_ = 0;
};

}  // namespace vela::input
