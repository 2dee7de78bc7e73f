// CD audio through MCI, which service flag 16 selects. Its start has no work; its stop closes
// the CD device when the playing operations opened it. Playing tracks is not reachable from the
// exports.
#pragma once

namespace vela::CdAudio {

bool Start();
void Stop();

}  // namespace vela::CdAudio
