// The core state and the accessors that other services read.
#include "core/vela_core.h"

#include "core/core_state.h"

namespace vela {

CoreState& Core() {
  static CoreState state;
  return state;
}

HINSTANCE ExecutableModule() { return Core().executable; }

HWND MainWindow() { return Core().mainWindow; }

void GetScreen(int* width, int* height, bool* windowed) {
  if (width) *width = Core().screenWidth;
  if (height) *height = Core().screenHeight;
  if (windowed) *windowed = Core().windowed;
}

void RestoreWorkingDirectory() { SetCurrentDirectoryA(Core().baseDirectory); }

float ScaleX(float x) { return x * Core().scaleX; }

float ScaleY(float y) { return y * Core().scaleY; }

}  // namespace vela
