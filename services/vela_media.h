// VelaMedia: the media service that service flag 8 starts (with the video renderer). Its start
// only reserves the media records; its stop releases them. Playing media is not reachable from
// the exports.
#pragma once

#include <cstdint>

namespace vela::VelaMedia {

// The number of media records the next start allocates (64 unless set).
void SetRecordCount(std::uint32_t count);

bool Start();
void Stop();

}  // namespace vela::VelaMedia
