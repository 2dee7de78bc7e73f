#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "host/low_memory.h"

namespace vela::host {

std::byte* AllocateLow(std::size_t bytes) {
  // The 64-bit test executables are linked low and are not large-address-aware, so the system
  // hands out addresses below 2 GiB; the check keeps a changed link from passing silently.
  void* block = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!block || reinterpret_cast<std::uintptr_t>(block) + bytes > 0x80000000u) {
    std::fprintf(stderr, "host: no memory below 2 GiB for %zu bytes (got %p)\n", bytes, block);
    std::abort();
  }
  return static_cast<std::byte*>(block);
}

}  // namespace vela::host
