// The library's boot, in two steps around the seeding of the random generator (both run inside
// the main window's WM_CREATE), and its shutdown (what End runs). A failed step has shown its
// error box and shut the library down again; the caller closes the window.
#pragma once

#include <windows.h>

namespace vela {

bool BootStepOne(HWND window, int serviceFlags);
// Width or height 0 means the screen's.
bool BootStepTwo(int clientWidth, int clientHeight);
// Safe to run again: a second run stops no service and leaves the closed log alone.
void Shutdown();

}  // namespace vela
