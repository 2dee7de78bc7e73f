#include "services/external_sound_library.h"

namespace vela {
namespace {

template <typename Function>
Function Find(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void ExternalSoundLibrary::Load(IDirectSound** directSound) {
  if (module_) return;
  module_ = LoadLibraryA(".\\Odrel.dll");
  if (!module_) return;
  // Looked up in this order; the first one missing ends the search (the module stays loaded).
  initialize_ = Find<InitializeFunction>(module_, "Odrel_Initialize");
  if (!initialize_) return;
  uninitialize_ = Find<UninitializeFunction>(module_, "Odrel_Uninitialize");
  if (!uninitialize_) return;
  createFromFile_ = GetProcAddress(module_, "Odrel_CreateInstanceFromFileEx");
  if (!createFromFile_) return;
  createFromMemory_ = GetProcAddress(module_, "Odrel_CreateInstanceFromMemory");
  if (!createFromMemory_) return;
  getLastError_ = GetProcAddress(module_, "Odrel_GetLastError");
  if (!getLastError_) return;
  initialized_ = initialize_(0, directSound, 0, 0) != FALSE;
}

void ExternalSoundLibrary::Unload() {
  if (!module_) return;
  if (uninitialize_) uninitialize_();
  FreeLibrary(module_);
  *this = ExternalSoundLibrary{};
}

}  // namespace vela
