// VelaSound: the sound service that service flag 2 starts. Its start creates DirectSound on the
// default device with the primary buffer, reports the device's capabilities in the log and
// loads the external sound library when it is there; its stop releases every sound record and
// all of that again. Playing sounds is not reachable from the plug-in's exports.
#pragma once

#include <cstdint>

struct IDirectSound8;

namespace vela::VelaSound {

// The number of sound records the next start allocates (64 unless set).
void SetRecordCount(std::uint32_t count);

bool Start();
void Stop();

// The service's DirectSound object with a new reference, or null while there is none.
IDirectSound8* TakeDirectSound8();

}  // namespace vela::VelaSound
