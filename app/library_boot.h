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

// For tests of the boot's failure handling, where nothing on the machine can make a start fail
// (the animation table's memory, the socket library, the video renderer's manager): while set,
// the start of the service of that name in the boot's lists ("animation", "network", "CVMR9")
// answers false without running. Null clears it. The plug-in never calls it.
void FailServiceStartForTesting(const char* name);

}  // namespace vela
