#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "host/low_memory.h"

namespace vela::host {

std::byte* AllocateLow(std::size_t bytes) {
  // MAP_32BIT places the mapping in the first 2 GiB on x86-64 Linux.
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
  if (block == MAP_FAILED || reinterpret_cast<std::uintptr_t>(block) + bytes > 0x80000000u) {
    std::fprintf(stderr, "host: no memory below 2 GiB for %zu bytes\n", bytes);
    std::abort();
  }
  return static_cast<std::byte*>(block);
}

}  // namespace vela::host
