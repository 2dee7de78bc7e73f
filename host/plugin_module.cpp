#include "host/plugin_module.h"

#include <string>

namespace vela::host {

PluginModule::PluginModule() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  module_ = LoadLibraryW((folder + L"velaplugin.dll").c_str());
}

PluginModule::~PluginModule() {
  if (module_) FreeLibrary(module_);
}

plugin::ExportFunction PluginModule::Find(const char* name) const {
  if (!module_) return nullptr;
  return reinterpret_cast<plugin::ExportFunction>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
}

}  // namespace vela::host
