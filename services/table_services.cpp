#include "services/table_services.h"

#include <cstddef>

#include "core/process_heap.h"

namespace vela::tables {
namespace {

// A zero-filled block of count × recordBytes from the process heap.
class ZeroTable {
 public:
  constexpr ZeroTable(std::size_t count, std::size_t recordBytes) : bytes_(count * recordBytes) {}
  bool Start() {
    if (!block_) block_.reset(static_cast<std::uint8_t*>(HeapAllocate(bytes_, true)));
    return block_ != nullptr;
  }
  void Stop() { block_.reset(); }
  const std::uint8_t* Data() const { return block_.get(); }

 private:
  std::size_t bytes_;
  HeapPtr<std::uint8_t> block_;
};

ZeroTable animation(kAnimationRecords, kAnimationRecordBytes);
ZeroTable table684(32, 684);
ZeroTable table816(64, 816);
ZeroTable table400(64, 400);
ProjectionRecord projection[kProjectionRecords];

}  // namespace

bool StartAnimationTable() { return animation.Start(); }
void StopAnimationTable() { animation.Stop(); }
bool StartTable684() { return table684.Start(); }
void StopTable684() { table684.Stop(); }
bool StartTable816() { return table816.Start(); }
void StopTable816() { table816.Stop(); }
bool StartTable400() { return table400.Start(); }
void StopTable400() { table400.Stop(); }

bool StartProjectionRecords() {
  for (ProjectionRecord& record : projection) record = ProjectionRecord{};
  return true;
}

const std::uint8_t* AnimationTable() { return animation.Data(); }
const ProjectionRecord* ProjectionRecords() { return projection; }

}  // namespace vela::tables
