// The record tables of the sound, music and media services: a fixed number of fixed-size
// records in one zero-filled block from the process heap. Every record begins with an in-use
// byte and has a 32-bit use count at its second word; the rest belongs to the service.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/process_heap.h"

namespace vela {

class RecordTable {
 public:
  // Replaces the table with `count` zeroed records of `recordBytes`; false (and no table) when
  // the size overflows or the heap cannot give the block.
  bool Allocate(std::uint32_t count, std::size_t recordBytes);
  void Free();

  bool Exists() const { return block_ != nullptr; }
  std::uint32_t Count() const { return count_; }
  std::uint8_t* Record(std::uint32_t index) const;
  bool InUse(std::uint32_t index) const { return Record(index)[0] != 0; }
  std::uint32_t UseCount(std::uint32_t index) const;
  void SetUseCount(std::uint32_t index, std::uint32_t value);
  void Clear(std::uint32_t index);

  // Lowers an in-use record's use count; when it reaches 0, `destroy(record)` gives up what the
  // record holds and the record is cleared. Answers whether the record was destroyed.
  template <typename Destroy>
  bool Release(std::uint32_t index, Destroy destroy) {
    if (!InUse(index)) return false;
    const std::uint32_t left = UseCount(index) - 1;
    SetUseCount(index, left);
    if (left != 0) return false;
    destroy(Record(index));
    Clear(index);
    return true;
  }

  // What the services' stops do: every record forced down to its last use and released;
  // `destroyed(index)` follows each record that went. The table is freed afterwards.
  template <typename Destroy, typename Destroyed>
  void ReleaseAllAndFree(Destroy destroy, Destroyed destroyed) {
    for (std::uint32_t index = 0; index < count_; ++index) {
      SetUseCount(index, 1);
      if (Release(index, destroy)) destroyed(index);
    }
    Free();
  }

 private:
  HeapPtr<std::uint8_t> block_;
  std::uint32_t count_ = 0;
  std::size_t recordBytes_ = 0;
};

}  // namespace vela
