// The application frame: the one window (whose creation boots the library), the per-frame
// message pump with its 60 fps pacing, and the end. What Init, WaitMsg and End run.
#pragma once

#include <windows.h>

namespace vela {

// Registers the class and creates the centred window (both named `title`); the library boots
// inside the creation. True when the window exists; a failed boot closes it through the queue.
bool CreateAppWindow(const wchar_t* title, int serviceFlags, int clientWidth, int clientHeight);
// Pumps the queue, sleeps out the frame and runs the per-frame work; false once WM_QUIT came.
bool WaitFrame();
// The library shutdown. The window, if it still exists, is left alone.
void EndApplication();

// The outer size for a client area under the fixed-frame style, and its centred position.
struct WindowPlacement {
  int x, y, width, height;
};
WindowPlacement PlaceWindow(int clientWidth, int clientHeight);

// The library's own handling of window messages (mouse, device notifications): true when it
// took the message.
bool LibraryMessageHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vela
