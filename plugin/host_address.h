// Addresses as the host sees them: 32-bit words. The host hands the plug-in the top of its
// argument stack, its variable base, and the addresses of its string and array objects as such
// words, and keeps the handles the plug-in hands out in 32-bit variables.
//
// The product is a 32-bit DLL, where a word and a pointer are the same thing. The 64-bit test
// build runs in a process that keeps its heap below 2 GiB; it converts with the same functions
// and refuses any pointer that would not survive the trip through a word.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vela::plugin {

using HostWord = std::uint32_t;

// Bit 31 of a HostRef selects an absolute address; the string and array references carry a
// tag there. Host addresses therefore live below 2 GiB.
inline constexpr HostWord kHostTagBit = 0x80000000u;

inline std::byte* HostPointer(HostWord address) {
  return reinterpret_cast<std::byte*>(static_cast<std::uintptr_t>(address));
}

// Converts a pointer that is handed to the host (a handle). Answers false, leaving `word`
// alone, when the pointer cannot be told to the host as a word below 2 GiB.
inline bool ToHostWord(const void* pointer, HostWord& word) {
  const auto value = reinterpret_cast<std::uintptr_t>(pointer);
  if constexpr (sizeof(std::uintptr_t) > sizeof(HostWord)) {
    if (value >= kHostTagBit) return false;
  }
  word = static_cast<HostWord>(value);
  return true;
}

}  // namespace vela::plugin
