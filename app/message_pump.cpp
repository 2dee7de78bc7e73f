// WaitMsg's work: the message pump, the frame pacing and the per-frame library work.
#include <windows.h>
#include <mmsystem.h>

#include "app/app_window.h"
#include "app/frame_pacer.h"
#include "graphics/vela3d.h"
#include "input/vela_input.h"

namespace vela {
namespace {
FramePacer pacer;
}  // namespace

bool WaitFrame() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    // Whatever stands behind the quit message stays in the queue.
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  const FrameWait wait = pacer.NextFrame(timeGetTime());
  if (wait.sleeps) Sleep(wait.milliseconds);
  // The input refresh runs whether or not the input service started: it then finds no devices.
  VelaInput::Refresh();
  Vela3D::FrameStep();
  return true;
}

}  // namespace vela
