#include "core/process_heap.h"

#include <windows.h>

namespace vela {

void* HeapAllocate(std::size_t bytes, bool zeroFilled) {
  return HeapAlloc(GetProcessHeap(), zeroFilled ? HEAP_ZERO_MEMORY : 0, bytes);
}

void HeapRelease(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace vela
