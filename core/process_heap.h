// Heap blocks from the process heap. Every block the library keeps or hands between its
// parts comes from here, so the Win32 build and the native build differ in one file only.
#pragma once

#include <cstddef>
#include <memory>

namespace vela {

// A block of `bytes` bytes, zero-filled when asked; null when the heap cannot give it.
// A request of 0 bytes answers a valid (non-null) block, as the process heap does.
void* HeapAllocate(std::size_t bytes, bool zeroFilled = false);
void HeapRelease(void* block);

struct HeapDeleter {
  void operator()(void* block) const { HeapRelease(block); }
};
template <typename T>
using HeapPtr = std::unique_ptr<T, HeapDeleter>;

}  // namespace vela
