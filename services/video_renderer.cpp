#include "services/video_renderer.h"

#include <memory>
#include <new>

namespace vela::VideoRenderer {
namespace {

// The renderer's manager: the video renderers it will hold are made by the media operations.
struct CVMR9Manager {
  unsigned rendererCount = 0;
};

std::unique_ptr<CVMR9Manager> manager;

}  // namespace

bool Start() {
  manager.reset(new (std::nothrow) CVMR9Manager);
  return manager != nullptr;
}

void Stop() { manager.reset(); }

}  // namespace vela::VideoRenderer
