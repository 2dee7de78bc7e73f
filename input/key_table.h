// The key state table: one byte per DirectInput keyboard scan code (the DIK_ values), 1 while
// the key is down in this frame and 0 otherwise. Filled once per frame from the keyboard's
// device state, cleared while the keyboard cannot be read.
#pragma once

#include <array>
#include <cstdint>

namespace vela::input {

inline constexpr int kKeyCount = 256;

class KeyTable {
 public:
  // Takes the keyboard's device state, in which bit 7 of a key's byte marks it down.
  void Load(const std::uint8_t (&deviceState)[kKeyCount]);
  void Clear() { keys_.fill(0); }
  // Scan codes outside 0-255 are never down.
  bool IsDown(std::int32_t scanCode) const;

 private:
  std::array<std::uint8_t, kKeyCount> keys_ = {};
};

}  // namespace vela::input
