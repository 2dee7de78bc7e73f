// The sprite exports of the real DLL as the host calls them: handles written through the
// HostRef (0 for a sprite that cannot be made), the byte counts, squares and a ribbon drawn
// through the exports and read back from the screen, SetScissoring reaching a live sprite, and
// SpriteRelease giving the handle back.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/window_capture.h"
#include "imagecodec/imagecodec.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::ExecutableFolder;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kBackground = 0x204060;

// 64 x 64: red on the left half, blue on the right.
std::vector<std::uint8_t> HalvesPng() {
  std::vector<std::uint32_t> argb(64 * 64);
  for (std::uint32_t y = 0; y < 64; ++y) {
    for (std::uint32_t x = 0; x < 64; ++x) argb[y * 64 + x] = 0xFF000000 | (x < 32 ? kRed : kBlue);
  }
  const vela::codec::ConstSurfaceView view(vela::codec::PixelFormat::kA8R8G8B8, 64, 64, 64 * 4,
                                           reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  EXPECT_EQ(vela::codec::SaveToMemory(vela::codec::FileFormat::kPng, view, png), vela::codec::Result::kOk);
  return png;
}

bool Near(std::uint32_t actual, std::uint32_t expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (a - e > 24 || e - a > 24) return false;
  }
  return true;
}

#define EXPECT_SHOWN(image, x, y, colour) \
  EXPECT_PRED2(Near, (image).At(x, y), colour) << "at (" << (x) << ", " << (y) << ")"

class SpriteExportsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frame.Loaded()) << "velaplugin.dll did not load";
    ASSERT_TRUE(plugin.Loaded());
    ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
    const std::vector<std::uint8_t> png = HalvesPng();
    const HANDLE file = CreateFileW(picturePath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);
  }
  void TearDown() override {
    frame.Finish();
    DeleteFileW(picturePath_.c_str());
    EXPECT_TRUE(boxes.Boxes().empty());
  }

  std::int32_t Call(const char* name) {
    const auto function = plugin.Find(name);
    EXPECT_NE(function, nullptr) << name;
    return function ? host.Call(function) : 0x7FFFFFFF;
  }

  std::uint32_t LoadTexture() {
    host.ClearStack();
    host.PushWord(host.RelativeRef(0)).PushString(host.MakeString(u"sprite_halves.png"));
    EXPECT_EQ(Call("TextureLoad"), 16);
    return static_cast<std::uint32_t>(host.Variable(0));
  }

  std::uint32_t CreateSprite(std::int32_t capacity) {
    host.ClearStack();
    host.SetVariable(1, -1);
    host.PushWord(host.AbsoluteRef(1)).PushInt(capacity);
    EXPECT_EQ(Call("SpriteCreate"), 8);
    return static_cast<std::uint32_t>(host.Variable(1));
  }

  void OnSprite(const char* name, std::uint32_t sprite) {
    host.ClearStack();
    host.PushWord(sprite);
    EXPECT_EQ(Call(name), 4) << name;
  }

  void DrawSquare(std::uint32_t sprite, float x, float y, float size, float z, float sourceX) {
    host.ClearStack();
    host.PushWord(sprite).PushRect(x, y, size, size).PushFloat(z).PushRect(sourceX, 0, 32, 64);
    EXPECT_EQ(Call("SpriteDrawSquare"), 40);
  }

  // One frame: the sprite filled by `fill`, uploaded and drawn, presented and read back.
  template <typename Fill>
  CapturedImage Show(std::uint32_t sprite, Fill fill) {
    CapturedImage shown;
    for (int repeat = 0; repeat < 3; ++repeat) {
      EXPECT_TRUE(frame.WaitMsg());
      host.ClearStack();
      EXPECT_EQ(Call("BeginScene"), -1);
      host.ClearStack();
      host.PushInt(static_cast<std::int32_t>(0xFF000000 | kBackground));
      EXPECT_EQ(Call("Clear"), 4);
      OnSprite("SpriteResetBuffer", sprite);
      fill();
      OnSprite("SpriteUpdateBuffer", sprite);
      OnSprite("SpriteRendering", sprite);
      host.ClearStack();
      EXPECT_EQ(Call("EndScene"), 0);
      EXPECT_EQ(Call("Refresh"), 0);
      vela::host::PumpMessagesFor(50);
    }
    return vela::host::CaptureClientArea(frame.Window());
  }

  std::wstring picturePath_ = ExecutableFolder() + L"sprite_halves.png";
  MessageBoxCapture boxes;
  AppFrame frame{u"Vela sprite exports test"};
  vela::host::PluginModule plugin;
  vela::host::ScriptHost host;
};

TEST_F(SpriteExportsWindow, SquaresRibbonsAndTheScissorThroughTheExports) {
  const std::uint32_t texture = LoadTexture();
  ASSERT_NE(texture, 0u);
  EXPECT_EQ(CreateSprite(0), 0u) << "a sprite without room cannot be made";
  const std::uint32_t sprite = CreateSprite(600);
  ASSERT_NE(sprite, 0u);
  host.ClearStack();
  host.PushWord(sprite).PushWord(texture);
  ASSERT_EQ(Call("SpriteAttatchTexture"), 8);

  // The far square is called last and still drawn behind.
  CapturedImage shown = Show(sprite, [&] {
    DrawSquare(sprite, 100, 100, 200, 100, 0);
    DrawSquare(sprite, 200, 150, 200, 60000, 32);
  });
  ASSERT_EQ(shown.width, kWidth);
  EXPECT_SHOWN(shown, 250, 250, kRed);
  EXPECT_SHOWN(shown, 350, 320, kBlue);
  EXPECT_SHOWN(shown, 500, 100, kBackground);

  // A ribbon through three points: red above its centre line, blue below.
  shown = Show(sprite, [&] {
    const float x[] = {100, 320, 540}, y[] = {240, 140, 240}, z[] = {100, 100, 100}, w[] = {20, 20, 20};
    const std::int32_t angle[] = {0, 0, 0};
    const std::uint32_t colour[] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    host.ClearStack();
    host.PushWord(sprite);
    host.PushArray(host.MakeArray(x, sizeof x)).PushArray(host.MakeArray(y, sizeof y));
    host.PushArray(host.MakeArray(z, sizeof z)).PushArray(host.MakeArray(w, sizeof w));
    host.PushArray(host.MakeArray(angle, sizeof angle)).PushArray(host.MakeArray(colour, sizeof colour));
    host.PushInt(3).PushRect(0, 0, 64, 64);
    EXPECT_EQ(Call("SpriteDrawList"), 96);
  });
  EXPECT_SHOWN(shown, 210, 180, kRed);   // half way along the first segment, centre y = 190
  EXPECT_SHOWN(shown, 210, 200, kBlue);
  EXPECT_SHOWN(shown, 210, 240, kBackground);

  // SetScissoring reaches the live sprite: only x 150..250 of the square remains.
  host.ClearStack();
  host.PushBool(true).PushInt(150).PushInt(0).PushInt(100).PushInt(480);
  ASSERT_EQ(Call("SetScissoring"), 17);
  shown = Show(sprite, [&] { DrawSquare(sprite, 100, 100, 200, 100, 0); });
  EXPECT_SHOWN(shown, 200, 200, kRed);
  EXPECT_SHOWN(shown, 120, 200, kBackground);
  EXPECT_SHOWN(shown, 280, 200, kBackground);

  // Handle 0 does nothing; SpriteRelease gives the handle back.
  OnSprite("SpriteRendering", 0);
  OnSprite("SpriteRelease", sprite);
  OnSprite("TextureRelease", texture);
}

}  // namespace
