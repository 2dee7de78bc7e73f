// The plug-in's exports as the demo calls them: each call lays its arguments on the host
// harness's stack, calls the export by name and pops its result, as the script host does.
// An export that is missing or answers an unexpected byte count is reported once on stderr.
#pragma once

#include <cstdint>
#include <string>

#include "host/plugin_module.h"
#include "host/script_host.h"

namespace vela::demo {

class DemoPlugin {
 public:
  bool Loaded() const;

  bool Init(const std::u16string& title, std::int32_t serviceFlags, std::int32_t width, std::int32_t height);
  bool WaitMsg();
  void End();
  bool BeginScene();
  void EndScene();
  void Refresh();
  void Clear(std::uint32_t colour);
  void ColorFill(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t colour);
  float MathSin(std::int32_t angle);

  // True once any call went wrong (missing export, unexpected byte count).
  bool Faulted() const { return faulted_; }

 private:
  // Calls the export over the arguments pushed so far; false when it is missing or answers
  // other than `expectedPop`.
  bool Call(const char* name, std::int32_t expectedPop);

  host::PluginModule module_;
  host::ScriptHost host_;
  bool faulted_ = false;
};

}  // namespace vela::demo
