#include "core/process_heap.h"

#include <cstdlib>

namespace vela {

void* HeapAllocate(std::size_t bytes, bool zeroFilled) {
  // malloc(0) may answer null; the process heap never does for a successful request.
  const std::size_t size = bytes == 0 ? 1 : bytes;
  return zeroFilled ? std::calloc(1, size) : std::malloc(size);
}

void HeapRelease(void* block) { std::free(block); }

}  // namespace vela
