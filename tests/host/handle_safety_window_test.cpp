// Handles given back, of another kind or made up, handed to every export that takes one: each call
// keeps its byte count and does nothing, the log names each value once, live objects draw on.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kBackground = 0x203040;
constexpr int kTolerance = 8;

enum Accepts { kTexture, kSurface, kSprite };

// One place of a handle in an export's arguments; the other arguments are valid.
struct HandlePlace {
  const char* exportName;
  Accepts accepts;
  std::int32_t bytes;
  std::function<void(std::uint32_t handle)> lay;
};

class HandleSafetyWindow : public PluginWindowTest {
 protected:
  HandleSafetyWindow() : PluginWindowTest(u"Vela handle safety test") {}

  // The sprite filled with one square, uploaded and drawn.
  CapturedImage ShowSprite(std::uint32_t sprite) {
    return Show(kBackground, [&] {
      CallWithHandle("SpriteResetBuffer", sprite);
      host.ClearStack();
      host.PushWord(sprite).PushRect(20, 20, 100, 50).PushFloat(10).PushRect(0, 0, 100, 50);
      EXPECT_EQ(Call("SpriteDrawSquare"), 40);
      CallWithHandle("SpriteUpdateBuffer", sprite);
      CallWithHandle("SpriteRendering", sprite);
    });
  }

  // Every place an export takes a handle; `sprite` and `texture` fill the other handle places.
  std::vector<HandlePlace> Places(std::uint32_t sprite, std::uint32_t texture) {
    const float list[] = {40, 80, 120};
    const std::int32_t angles[] = {0, 0, 0};
    const std::uint32_t points = host.MakeArray(list, sizeof list);
    const std::uint32_t turns = host.MakeArray(angles, sizeof angles);
    auto onSprite = [&](std::uint32_t handle) { host.PushWord(handle); };
    return {
        {"TextureDraw", kTexture, 36, [&](std::uint32_t h) { host.PushWord(h).PushRect(0, 0, 50, 50).PushRect(0, 0, 50, 50); }},
        {"TextureDrawRotate", kTexture, 40,
         [&](std::uint32_t h) { host.PushWord(h).PushRect(0, 0, 50, 50).PushRect(0, 0, 50, 50).PushInt(100); }},
        {"SurfaceCopyToBG", kSurface, 4, onSprite},
        {"SpriteAttatchTexture", kSprite, 8, [=, this](std::uint32_t h) { host.PushWord(h).PushWord(texture); }},
        {"SpriteAttatchTexture", kTexture, 8, [=, this](std::uint32_t h) { host.PushWord(sprite).PushWord(h); }},
        {"SpriteResetBuffer", kSprite, 4, onSprite},
        {"SpriteDrawSquare", kSprite, 40,
         [&](std::uint32_t h) { host.PushWord(h).PushRect(0, 0, 50, 50).PushFloat(5).PushRect(0, 0, 50, 50); }},
        {"SpriteDrawList", kSprite, 96,
         [=, this](std::uint32_t h) {
           host.PushWord(h).PushArray(points).PushArray(points).PushArray(points).PushArray(points);
           host.PushArray(turns).PushArray(turns).PushInt(3).PushRect(0, 0, 50, 50);
         }},
        {"SpriteUpdateBuffer", kSprite, 4, onSprite},
        {"SpriteRendering", kSprite, 4, onSprite},
    };
  }

  // `handle` in every place that does not take an object of `kind` (all places for none).
  void CallEverywhereBut(std::uint32_t handle, int kind, const std::vector<HandlePlace>& places) {
    for (const HandlePlace& place : places) {
      if (place.accepts == kind) continue;
      host.ClearStack();
      place.lay(handle);
      EXPECT_EQ(Call(place.exportName), place.bytes) << place.exportName << " with " << std::hex << handle;
    }
  }

  FileBesideExecutable picture_{u"vela_handle_safety.png", QuadrantPng(100, 50)};
  FileBesideExecutable other_{u"vela_handle_safety_other.png", QuadrantPng(20, 20)};
};

TEST_F(HandleSafetyWindow, WrongHandlesDoNothingAndAreLoggedOnceEach) {
  const LogSettingsFile log(L"vela_handle_safety_log.html", L"handles");
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const std::uint32_t texture = Load(picture_.Name(), 0);
  const std::uint32_t surface = Load(picture_.Name(), 1, "SurfaceLoad");
  const std::uint32_t sprite = CreateSprite(600, 2);
  const std::uint32_t gone = Load(other_.Name(), 3);
  ASSERT_TRUE(texture != 0 && surface != 0 && sprite != 0 && gone != 0);
  CallWithHandle("TextureRelease", gone);
  host.ClearStack();
  host.PushWord(sprite).PushWord(texture);
  EXPECT_EQ(Call("SpriteAttatchTexture"), 8);

  const CapturedImage before = ShowSprite(sprite);
  EXPECT_PIXEL(before, 45, 32, kRed, kTolerance);
  EXPECT_PIXEL(before, 95, 57, kWhite, kTolerance);

  const std::vector<HandlePlace> places = Places(sprite, texture);
  const std::uint32_t madeUp[] = {1, 0x7FFFFFFF, 0xFFFFFFFF, 0xDEADBEEF, texture + 4, gone};
  for (int frameNumber = 0; frameNumber < 2; ++frameNumber) {  // a mistake made every frame
    DrawFrame(kBackground, [&] {
      for (std::uint32_t handle : madeUp) CallEverywhereBut(handle, -1, places);
      CallEverywhereBut(texture, kTexture, places);
      CallEverywhereBut(surface, kSurface, places);
      CallEverywhereBut(sprite, kSprite, places);
    }, [] {});
  }
  CallWithHandle("SpriteRelease", gone);
  CallWithHandle("SurfaceRelease", 0xDEADBEEF);

  const CapturedImage after = ShowSprite(sprite);
  EXPECT_PIXEL(after, 45, 32, kRed, kTolerance) << "the sprite and its texture are as they were";
  EXPECT_PIXEL(after, 95, 57, kWhite, kTolerance);

  // The texture given back twice: the sprite's own reference keeps it, and the host's handle
  // is refused from then on.
  CallWithHandle("TextureRelease", texture);
  CallWithHandle("TextureRelease", texture);
  const CapturedImage held = Show(kBackground, [&] {
    CallWithHandle("SpriteRendering", sprite);
    host.ClearStack();
    host.PushWord(texture).PushRect(150, 100, 100, 50).PushRect(0, 0, 100, 50);
    EXPECT_EQ(Call("TextureDraw"), 36);
  });
  EXPECT_PIXEL(held, 45, 32, kRed, kTolerance) << "drawn from the previous upload with the sprite's texture";
  EXPECT_EQ(held.At(175, 112), kBackground) << "the handle given back draws nothing";
  frame.Finish();

  const std::string logged = ReadWholeFile(log.LogPath());
  auto count = [&](const std::string& text) {
    std::size_t found = 0;
    for (std::size_t at = logged.find(text); at != std::string::npos; at = logged.find(text, at + 1)) ++found;
    return found;
  };
  for (std::uint32_t handle : {1u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0xDEADBEEFu, texture + 4, gone, surface}) {
    char text[64];
    std::snprintf(text, sizeof text, "無効なハンドル 0x%08X", static_cast<unsigned>(handle));
    EXPECT_EQ(count(AsLogBytes(text)), 1u) << text;
  }
  EXPECT_EQ(count(AsLogBytes("TextureDraw: 無効なハンドル 0xDEADBEEF")), 1u) << "named by the first export that met it";
}

}  // namespace
