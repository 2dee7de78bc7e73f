// The library core's state that other services read: the host executable, the main window,
// the drawing area and the folder that relative file names resolve against.
#pragma once

#include <windows.h>

namespace vela {

HINSTANCE ExecutableModule();
HWND MainWindow();
// Each is written only when its pointer is not null.
void GetScreen(int* width, int* height, bool* windowed);
// Makes the host executable's folder the working directory again.
void RestoreWorkingDirectory();
// Library coordinates to device pixels (both factors are 1.0 in this plug-in).
float ScaleX(float x);
float ScaleY(float y);

}  // namespace vela
