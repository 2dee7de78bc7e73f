// The plug-in DLL loaded the way the host loads it, with its exports found by name.
#pragma once

#include <windows.h>

#include "plugin/export.h"

namespace vela::host {

class PluginModule {
 public:
  // Loads velaplugin.dll from the folder of the running executable.
  PluginModule();
  ~PluginModule();
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Handle() const { return module_; }
  // Null when the DLL has no export of that name.
  plugin::ExportFunction Find(const char* name) const;

 private:
  HMODULE module_ = nullptr;
};

}  // namespace vela::host
