// VelaMusic: the music service that service flag 4 starts. Its start creates the DirectMusic
// performance and shares the sound service's DirectSound when that runs; its stop releases
// every music record and the interfaces. Playing music is not reachable from the exports.
#pragma once

#include <cstdint>

namespace vela::VelaMusic {

// The number of music records the next start allocates (64 unless set).
void SetRecordCount(std::uint32_t count);

bool Start();
void Stop();

// Whether the service holds a DirectSound interface shared from the sound service.
bool SharesDirectSound();

}  // namespace vela::VelaMusic
