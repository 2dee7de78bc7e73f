// The manager of the video renderer (CVMR9) that service flag 8 creates beside the media
// service. Rendering video is not reachable from the exports: the manager is made and
// released, and takes part in nothing else.
#pragma once

namespace vela::VideoRenderer {

bool Start();  // false when the manager cannot be allocated
void Stop();

}  // namespace vela::VideoRenderer
