// The plug-in's exports as the demo calls them: each call lays its arguments on the host
// harness's stack, calls the export by name and pops its result, as the script host does.
// An export that is missing or answers an unexpected byte count is counted, and the first one
// is reported on stderr.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/demo/reusable_host_object.h"
#include "host/plugin_module.h"
#include "host/script_host.h"

namespace vela::demo {

// A rectangle in window pixels (destinations) or image pixels (sources).
struct Rect {
  float x, y, width, height;
};

// One point of a ribbon: where it runs, its depth, half its width across, the direction it
// runs in (table angle) and its colour (A8R8G8B8).
struct RibbonPoint {
  float x, y, z, halfWidth;
  std::int32_t angle;
  std::uint32_t colour;
};

// SetBlendingType's six types.
enum class Blending : std::int32_t { kOpaque, kAlpha, kAddAlpha, kAdd, kMultiply, kInvert };

// DirectInput scan codes of the keys the demo reads.
enum class Key : std::int32_t { kLeft = 0xCB, kRight = 0xCD, kUp = 0xC8, kDown = 0xD0 };

class DemoPlugin {
 public:
  static constexpr int kMaxRibbonPoints = 64;
  static constexpr std::int32_t kServiceKeyboard = 1;

  DemoPlugin();
  bool Loaded() const;

  // The frame.
  bool Init(std::u16string_view title, std::int32_t serviceFlags, std::int32_t width, std::int32_t height);
  bool WaitMsg();
  void End();
  bool BeginScene();
  void EndScene();
  void Refresh();
  void Clear(std::uint32_t colour);
  void ColorFill(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t colour);
  void SetBlendingType(Blending type);
  void SetScissoring(bool enable, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

  // Numbers.
  std::int32_t MathRand(std::int32_t lower, std::int32_t upper);

  // Textures; a handle of 0 is a texture that did not load.
  std::uint32_t TextureLoad(std::u16string_view fileName);
  void TextureDraw(std::uint32_t texture, const Rect& destination, const Rect& source);
  void TextureDrawRotate(std::uint32_t texture, const Rect& destination, const Rect& source, std::int32_t angle);
  void Release(std::uint32_t handle);  // TextureRelease: textures and sprites alike
  void SetOffsetUV(float inset);

  // Text on the back buffer, between EndScene and Refresh. Colours are 0x00BBGGRR.
  void FontBegin(std::u16string_view face, std::int32_t height);
  void FontDraw(std::int32_t x, std::int32_t y, std::uint32_t textColour, std::uint32_t backgroundColour,
                std::u16string_view text);
  void FontEnd();

  bool KeyDown(Key key);  // GetKeyData

  // Sprites: depth-sorted batches of squares and ribbons, drawn in one call.
  std::uint32_t SpriteCreate(std::int32_t capacityVertices);
  void SpriteAttatchTexture(std::uint32_t sprite, std::uint32_t texture);
  void SpriteResetBuffer(std::uint32_t sprite);
  void SpriteDrawSquare(std::uint32_t sprite, const Rect& destination, float z, const Rect& source);
  void SpriteDrawList(std::uint32_t sprite, const std::vector<RibbonPoint>& points, const Rect& source);
  void SpriteUpdateBuffer(std::uint32_t sprite);
  void SpriteRendering(std::uint32_t sprite);

  int Calls() const { return calls_; }
  int WrongCalls() const { return wrongCalls_; }

 private:
  // Calls the export over the arguments pushed so far; false when it is missing or answers
  // other than `expectedPop`.
  bool Call(const char* name, std::int32_t expectedPop);
  void CallOnHandle(const char* name, std::uint32_t handle);
  host::ScriptHost& PushText(std::u16string_view text);

  host::PluginModule module_;
  host::ScriptHost host_;
  ReusableHostObject text_;
  std::vector<ReusableHostObject> ribbonArrays_;  // x, y, z, half width, angle, colour
  int calls_ = 0;
  int wrongCalls_ = 0;
};

}  // namespace vela::demo
