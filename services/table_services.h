// The table services that the boot starts without any work beyond their memory: the animation
// table and the four record tables of the further services. Their operations belong to
// services that no export reaches; the boot needs only their start (memory) and stop.
#pragma once

#include <cstdint>

namespace vela::tables {

inline constexpr int kAnimationRecords = 65536;
inline constexpr int kAnimationRecordBytes = 32;

// One of the four fixed records: projection settings with the defaults scale 1.0, far plane
// 100.0 and near plane 0.1; the rest is reserved for the services that will use it.
struct ProjectionRecord {
  float scale = 1.0f;
  float farPlane = 100.0f;
  float nearPlane = 0.1f;
  float reserved[23] = {};
};
static_assert(sizeof(ProjectionRecord) == 104);
inline constexpr int kProjectionRecords = 4;

// Each start answers false only when the heap cannot give its table; starting again keeps the
// table it has. Each stop may run without a start.
bool StartAnimationTable();
void StopAnimationTable();
bool StartTable684();   // 32 records of 684 bytes
void StopTable684();
bool StartProjectionRecords();  // the 4 fixed records, reset to their defaults
bool StartTable816();   // 64 records of 816 bytes
void StopTable816();
bool StartTable400();   // 64 records of 400 bytes
void StopTable400();

// For tests and the services to come: the tables' memory while started, else null.
const std::uint8_t* AnimationTable();
const ProjectionRecord* ProjectionRecords();

}  // namespace vela::tables
