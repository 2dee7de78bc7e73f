#include "host/demo/demo_plugin.h"

#include <cstdio>

namespace vela::demo {

bool DemoPlugin::Loaded() const {
  return module_.Loaded();
}

bool DemoPlugin::Call(const char* name, std::int32_t expectedPop) {
  const plugin::ExportFunction function = module_.Find(name);
  if (!function) {
    if (!faulted_) std::fprintf(stderr, "vela_demo: velaplugin.dll has no export %s\n", name);
    faulted_ = true;
    return false;
  }
  const std::int32_t popped = host_.Call(function);
  if (popped != expectedPop) {
    if (!faulted_) std::fprintf(stderr, "vela_demo: %s answered %d, expected %d\n", name, popped, expectedPop);
    faulted_ = true;
    return false;
  }
  return true;
}

bool DemoPlugin::Init(const std::u16string& title, std::int32_t serviceFlags, std::int32_t width,
                      std::int32_t height) {
  host_.ClearStack();
  host_.PushString(host_.MakeString(title)).PushInt(serviceFlags).PushInt(width).PushInt(height);
  return Call("Init", 23) && host_.PopBool();
}

bool DemoPlugin::WaitMsg() {
  host_.ClearStack();
  return Call("WaitMsg", -1) && host_.PopBool();
}

void DemoPlugin::End() {
  host_.ClearStack();
  Call("End", 0);
}

bool DemoPlugin::BeginScene() {
  host_.ClearStack();
  return Call("BeginScene", -1) && host_.PopBool();
}

void DemoPlugin::EndScene() {
  host_.ClearStack();
  Call("EndScene", 0);
}

void DemoPlugin::Refresh() {
  host_.ClearStack();
  Call("Refresh", 0);
}

void DemoPlugin::Clear(std::uint32_t colour) {
  host_.ClearStack();
  host_.PushInt(static_cast<std::int32_t>(colour));
  Call("Clear", 4);
}

void DemoPlugin::ColorFill(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                           std::uint32_t colour) {
  host_.ClearStack();
  host_.PushInt(x).PushInt(y).PushInt(width).PushInt(height).PushInt(static_cast<std::int32_t>(colour));
  Call("ColorFill", 20);
}

float DemoPlugin::MathSin(std::int32_t angle) {
  host_.ClearStack();
  host_.PushInt(angle);
  return Call("MathSin", 0) ? host_.PopFloat() : 0.0f;
}

}  // namespace vela::demo
