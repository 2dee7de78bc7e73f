// The external sound library, Odrel.dll, which the sound service loads from the host
// executable's folder when it is there. The library is optional: without it, or without one of
// its five entry points, the sound service runs on its own.
#pragma once

#include <windows.h>

struct IDirectSound;

namespace vela {

class ExternalSoundLibrary {
 public:
  // Loads ".\Odrel.dll" from the working directory (once: a loaded library stays), finds its five
  // entry points and initialises it on the sound service's DirectSound interface. Nothing is
  // logged; a missing library or entry point just leaves it out.
  void Load(IDirectSound** directSound);
  // Uninitialises the library when its entry points were found, then frees it; a later Load
  // loads it again.
  void Unload();

  bool Loaded() const { return module_ != nullptr; }
  bool Initialized() const { return initialized_; }

 private:
  using InitializeFunction = BOOL(__cdecl*)(DWORD, IDirectSound**, DWORD, DWORD);
  using UninitializeFunction = void(__cdecl*)();

  HMODULE module_ = nullptr;
  InitializeFunction initialize_ = nullptr;
  UninitializeFunction uninitialize_ = nullptr;
  FARPROC createFromFile_ = nullptr;
  FARPROC createFromMemory_ = nullptr;
  FARPROC getLastError_ = nullptr;
  bool initialized_ = false;
};

}  // namespace vela
