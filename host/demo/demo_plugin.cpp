#include "host/demo/demo_plugin.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vela::demo {

namespace {

constexpr std::size_t kTextCapacityBytes = 512;  // 256 UTF-16 characters
constexpr int kRibbonArrayCount = 6;

}  // namespace

DemoPlugin::DemoPlugin() : text_(host_, kTextCapacityBytes) {
  ribbonArrays_.reserve(kRibbonArrayCount);
  for (int i = 0; i < kRibbonArrayCount; ++i) ribbonArrays_.emplace_back(host_, kMaxRibbonPoints * 4);
}

bool DemoPlugin::Loaded() const {
  return module_.Loaded();
}

bool DemoPlugin::Call(const char* name, std::int32_t expectedPop) {
  ++calls_;
  const plugin::ExportFunction function = module_.Find(name);
  const std::int32_t popped = function ? host_.Call(function) : 0;
  if (function && popped == expectedPop) return true;
  if (wrongCalls_++ == 0) {
    if (!function) {
      std::fprintf(stderr, "vela_demo: velaplugin.dll has no export %s\n", name);
    } else {
      std::fprintf(stderr, "vela_demo: %s answered %d, expected %d\n", name, popped, expectedPop);
    }
  }
  return false;
}

void DemoPlugin::CallOnHandle(const char* name, std::uint32_t handle) {
  host_.ClearStack();
  host_.PushWord(handle);
  Call(name, 4);
}

host::ScriptHost& DemoPlugin::PushText(std::u16string_view text) {
  const host::HostWord object = text_.Fill(text.data(), text.size() * 2);
  return host_.PushString(object, 0, static_cast<std::int32_t>(std::min(text.size() * 2, text_.Capacity())));
}

bool DemoPlugin::Init(std::u16string_view title, std::int32_t serviceFlags, std::int32_t width,
                      std::int32_t height) {
  host_.ClearStack();
  PushText(title).PushInt(serviceFlags).PushInt(width).PushInt(height);
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

void DemoPlugin::SetBlendingType(Blending type) {
  host_.ClearStack();
  host_.PushInt(static_cast<std::int32_t>(type));
  Call("SetBlendingType", 4);
}

void DemoPlugin::SetScissoring(bool enable, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height) {
  host_.ClearStack();
  host_.PushBool(enable).PushInt(x).PushInt(y).PushInt(width).PushInt(height);
  Call("SetScissoring", 17);
}

std::int32_t DemoPlugin::MathRand(std::int32_t lower, std::int32_t upper) {
  host_.ClearStack();
  host_.PushInt(lower).PushInt(upper);
  return Call("MathRand", 4) ? host_.PopInt() : lower;
}

std::uint32_t DemoPlugin::TextureLoad(std::u16string_view fileName) {
  host_.ClearStack();
  host_.SetVariable(0, 0);
  host_.PushWord(host_.RelativeRef(0));
  PushText(fileName);
  return Call("TextureLoad", 16) ? static_cast<std::uint32_t>(host_.Variable(0)) : 0;
}

void DemoPlugin::TextureDraw(std::uint32_t texture, const Rect& destination, const Rect& source) {
  host_.ClearStack();
  host_.PushWord(texture)
      .PushRect(destination.x, destination.y, destination.width, destination.height)
      .PushRect(source.x, source.y, source.width, source.height);
  Call("TextureDraw", 36);
}

void DemoPlugin::TextureDrawRotate(std::uint32_t texture, const Rect& destination, const Rect& source,
                                   std::int32_t angle) {
  host_.ClearStack();
  host_.PushWord(texture)
      .PushRect(destination.x, destination.y, destination.width, destination.height)
      .PushRect(source.x, source.y, source.width, source.height)
      .PushInt(angle);
  Call("TextureDrawRotate", 40);
}

void DemoPlugin::Release(std::uint32_t handle) {
  CallOnHandle("TextureRelease", handle);
}

void DemoPlugin::SetOffsetUV(float inset) {
  host_.ClearStack();
  host_.PushFloat(inset);
  Call("SetOffsetUV", 4);
}

void DemoPlugin::FontBegin(std::u16string_view face, std::int32_t height) {
  host_.ClearStack();
  PushText(face).PushInt(height);
  Call("FontBegin", 16);
}

void DemoPlugin::FontDraw(std::int32_t x, std::int32_t y, std::uint32_t textColour, std::uint32_t backgroundColour,
                          std::u16string_view text) {
  host_.ClearStack();
  host_.PushInt(x).PushInt(y).PushInt(static_cast<std::int32_t>(textColour));
  host_.PushInt(static_cast<std::int32_t>(backgroundColour));
  PushText(text);
  Call("FontDraw", 28);
}

void DemoPlugin::FontEnd() {
  host_.ClearStack();
  Call("FontEnd", 0);
}

bool DemoPlugin::KeyDown(Key key) {
  host_.ClearStack();
  host_.PushInt(static_cast<std::int32_t>(key));
  return Call("GetKeyData", 3) && host_.PopBool();
}

std::uint32_t DemoPlugin::SpriteCreate(std::int32_t capacityVertices) {
  host_.ClearStack();
  host_.SetVariable(1, 0);
  host_.PushWord(host_.RelativeRef(1)).PushInt(capacityVertices);
  return Call("SpriteCreate", 8) ? static_cast<std::uint32_t>(host_.Variable(1)) : 0;
}

void DemoPlugin::SpriteAttatchTexture(std::uint32_t sprite, std::uint32_t texture) {
  host_.ClearStack();
  host_.PushWord(sprite).PushWord(texture);
  Call("SpriteAttatchTexture", 8);
}

void DemoPlugin::SpriteResetBuffer(std::uint32_t sprite) {
  CallOnHandle("SpriteResetBuffer", sprite);
}

void DemoPlugin::SpriteDrawSquare(std::uint32_t sprite, const Rect& destination, float z, const Rect& source) {
  host_.ClearStack();
  host_.PushWord(sprite)
      .PushRect(destination.x, destination.y, destination.width, destination.height)
      .PushFloat(z)
      .PushRect(source.x, source.y, source.width, source.height);
  Call("SpriteDrawSquare", 40);
}

void DemoPlugin::SpriteDrawList(std::uint32_t sprite, const std::vector<RibbonPoint>& points, const Rect& source) {
  const std::size_t count = std::min<std::size_t>(points.size(), kMaxRibbonPoints);
  // The points' fields, each into its own array as the export reads them.
  std::vector<std::uint32_t> column(count);
  host_.ClearStack();
  host_.PushWord(sprite);
  for (int field = 0; field < kRibbonArrayCount; ++field) {
    for (std::size_t i = 0; i < count; ++i) {
      const RibbonPoint& point = points[i];
      const void* fields[kRibbonArrayCount] = {&point.x,         &point.y,     &point.z,
                                               &point.halfWidth, &point.angle, &point.colour};
      std::memcpy(&column[i], fields[field], 4);
    }
    host_.PushArray(ribbonArrays_[field].Fill(column.data(), count * 4));
  }
  host_.PushInt(static_cast<std::int32_t>(count)).PushRect(source.x, source.y, source.width, source.height);
  Call("SpriteDrawList", 96);
}

void DemoPlugin::SpriteUpdateBuffer(std::uint32_t sprite) {
  CallOnHandle("SpriteUpdateBuffer", sprite);
}

void DemoPlugin::SpriteRendering(std::uint32_t sprite) {
  CallOnHandle("SpriteRendering", sprite);
}

}  // namespace vela::demo
