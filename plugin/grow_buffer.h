// GrowBuffer: the growable array behind the string conversions of one export call.
//
// Capacity grows to the smallest power of two that holds the request (1, 2, 4, ... 1024), the
// block comes from the process heap, and the byte size is computed in 32 bits the way the
// host's side expects: a size that does not fit is asked for as 0xFFFFFFFF bytes, which the
// heap refuses. A refused request leaves the buffer as it was and answers false.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/process_heap.h"

namespace vela::plugin {

template <typename T>
class GrowBuffer {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  // A fresh buffer holds a zero-size block, count 0 and capacity 0.
  GrowBuffer() : data_(static_cast<T*>(HeapAllocate(0))) {}
  ~GrowBuffer() { HeapRelease(data_); }
  GrowBuffer(const GrowBuffer&) = delete;
  GrowBuffer& operator=(const GrowBuffer&) = delete;

  T* Data() { return data_; }
  const T* Data() const { return data_; }
  std::int32_t Count() const { return count_; }
  std::int32_t Capacity() const { return capacity_; }
  void SetCount(std::int32_t count) { count_ = count; }

  bool Reserve(std::int32_t wanted) {
    if (wanted <= capacity_) return true;
    std::uint64_t capacity = 1;
    while (capacity < static_cast<std::uint64_t>(wanted)) capacity *= 2;
    if (capacity > INT32_MAX) return false;
    std::uint64_t bytes = capacity * sizeof(T);
    if (bytes > UINT32_MAX) bytes = UINT32_MAX;
    auto* block = static_cast<T*>(HeapAllocate(static_cast<std::size_t>(bytes)));
    if (!block) return false;
    if (count_ > 0) std::memcpy(block, data_, static_cast<std::size_t>(count_) * sizeof(T));
    HeapRelease(data_);
    data_ = block;
    capacity_ = static_cast<std::int32_t>(capacity);
    return true;
  }

  bool Append(const T* items, std::int32_t n) {
    if (n <= 0) return true;
    if (n > INT32_MAX - count_ || !Reserve(count_ + n)) return false;
    std::memcpy(data_ + count_, items, static_cast<std::size_t>(n) * sizeof(T));
    count_ += n;
    return true;
  }

  bool Push(T item) { return Append(&item, 1); }

 private:
  T* data_;
  std::int32_t count_ = 0;
  std::int32_t capacity_ = 0;
};

}  // namespace vela::plugin
