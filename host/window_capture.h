// What the user sees of a window: its client area read back from the screen.
//
// Direct3D presents into the window, and what reaches the screen is only readable through the
// screen's device context: CaptureClientArea copies the client area from GetDC(NULL) at the
// client origin into a 32-bit DIB section. Under Wine a presented frame shows after the window's
// messages have been pumped for a few tens of milliseconds, hence PumpMessagesFor:
//
//   Refresh();                        // through the plug-in's export
//   PumpMessagesFor(50);
//   CapturedImage shown = CaptureClientArea(window);
//   shown.At(10, 20);                 // 0x00RRGGBB
//
// Nothing covering the window may lie on the screen; the capture reads whatever is there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace vela::host {

struct CapturedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top-down rows of 0x00RRGGBB (X8R8G8B8, alpha cleared)

  bool Empty() const { return pixels.empty(); }
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Dispatches the thread's messages for about `milliseconds`. A WM_QUIT met on the way is posted
// again and ends the pumping, so that the host's loop still sees it.
void PumpMessagesFor(DWORD milliseconds);

// The client area as it is on the screen now; empty when the window has no client area or the
// copy fails.
CapturedImage CaptureClientArea(HWND window);

}  // namespace vela::host
