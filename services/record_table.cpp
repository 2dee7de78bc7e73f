#include "services/record_table.h"

#include <cstring>
#include <limits>

namespace vela {

namespace {
constexpr std::size_t kUseCountOffset = 4;
}

bool RecordTable::Allocate(std::uint32_t count, std::size_t recordBytes) {
  Free();
  if (recordBytes < kUseCountOffset + sizeof(std::uint32_t)) return false;
  if (count > std::numeric_limits<std::size_t>::max() / recordBytes) return false;
  block_.reset(static_cast<std::uint8_t*>(HeapAllocate(count * recordBytes, true)));
  if (!block_) return false;
  count_ = count;
  recordBytes_ = recordBytes;
  return true;
}

void RecordTable::Free() {
  block_.reset();
  count_ = 0;
  recordBytes_ = 0;
}

std::uint8_t* RecordTable::Record(std::uint32_t index) const { return block_.get() + index * recordBytes_; }

std::uint32_t RecordTable::UseCount(std::uint32_t index) const {
  std::uint32_t value;
  std::memcpy(&value, Record(index) + kUseCountOffset, sizeof value);
  return value;
}

void RecordTable::SetUseCount(std::uint32_t index, std::uint32_t value) {
  std::memcpy(Record(index) + kUseCountOffset, &value, sizeof value);
}

void RecordTable::Clear(std::uint32_t index) { std::memset(Record(index), 0, recordBytes_); }

}  // namespace vela
