// The library core's module-wide state, shared by the boot, the window and the accessors of
// vela_core.h. Everything here is touched only on the thread that called Init.
#pragma once

#include <windows.h>

namespace vela {

// Service flags given to Init: which optional services the boot starts and the stop stops.
inline constexpr int kServiceInput = 1;
inline constexpr int kServiceSound = 2;
inline constexpr int kServiceMusic = 4;
inline constexpr int kServiceMedia = 8;  // media and the video renderer
inline constexpr int kServiceCdAudio = 16;

struct CoreState {
  HINSTANCE executable = nullptr;
  HWND mainWindow = nullptr;
  int serviceFlags = 0;
  int screenWidth = 0;
  int screenHeight = 0;
  bool windowed = true;
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  char baseDirectory[MAX_PATH] = {};  // the host executable's folder; found once per process
  bool started = false;               // from the device start to the service stop
  bool comInitialized = false;        // CoInitializeEx succeeded and awaits its CoUninitialize
};

CoreState& Core();

inline bool ServiceSelected(int flag) { return (Core().serviceFlags & flag) != 0; }

}  // namespace vela
