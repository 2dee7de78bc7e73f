// The sprite exports of the real DLL read back from the screen: squares and ribbons, scissoring,
// perspective and texture 0 on a live sprite, and the sprite that cannot be made.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kBackground = 0x204060;
constexpr int kTolerance = 24;

class SpriteExportsWindow : public PluginWindowTest {
 protected:
  SpriteExportsWindow() : PluginWindowTest(u"Vela sprite exports test", kWidth, kHeight) {}

  void DrawSquare(std::uint32_t sprite, float x, float y, float size, float z, float sourceX) {
    host.ClearStack();
    host.PushWord(sprite).PushRect(x, y, size, size).PushFloat(z).PushRect(sourceX, 0, 32, 64);
    EXPECT_EQ(Call("SpriteDrawSquare"), 40);
  }

  // One frame: the sprite filled by `fill`, uploaded and drawn, presented and read back.
  template <typename Fill>
  CapturedImage Show(std::uint32_t sprite, Fill fill) {
    return PluginWindowTest::Show(kBackground, [&] {
      CallWithHandle("SpriteResetBuffer", sprite);
      fill();
      CallWithHandle("SpriteUpdateBuffer", sprite);
      CallWithHandle("SpriteRendering", sprite);
    });
  }

  LogSettingsFile log_{L"vela_sprite_exports_log.html", L"sprites"};
  // 64 x 64: red on the left half, blue on the right.
  FileBesideExecutable picture_{u"sprite_halves.png",
                                Png(64, 64, [](std::uint32_t x, std::uint32_t) { return x < 32 ? kRed : kBlue; })};
};

TEST_F(SpriteExportsWindow, SquaresRibbonsScissorAndPerspectiveThroughTheExports) {
  const std::uint32_t texture = Load(picture_.Name());
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
  EXPECT_PIXEL(shown, 250, 250, kRed, kTolerance);
  EXPECT_PIXEL(shown, 350, 320, kBlue, kTolerance);
  EXPECT_PIXEL(shown, 500, 100, kBackground, kTolerance);

  // A ribbon through three points: red above its centre line, blue below. The x and y values
  // lie behind elements that the host skips with the arrays' byte offsets.
  shown = Show(sprite, [&] {
    const float x[] = {-1000, 100, 320, 540}, y[] = {-1000, -1000, 240, 140, 240};
    const float z[] = {100, 100, 100}, w[] = {20, 20, 20};
    const std::int32_t angle[] = {0, 0, 0};
    const std::uint32_t colour[] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    host.ClearStack();
    host.PushWord(sprite);
    host.PushArray(host.MakeArray(x, sizeof x), 4).PushArray(host.MakeArray(y, sizeof y), 8);
    host.PushArray(host.MakeArray(z, sizeof z)).PushArray(host.MakeArray(w, sizeof w));
    host.PushArray(host.MakeArray(angle, sizeof angle)).PushArray(host.MakeArray(colour, sizeof colour));
    host.PushInt(3).PushRect(0, 0, 64, 64);
    EXPECT_EQ(Call("SpriteDrawList"), 96);
  });
  EXPECT_PIXEL(shown, 210, 180, kRed, kTolerance);   // half way along the first segment, centre y = 190
  EXPECT_PIXEL(shown, 210, 200, kBlue, kTolerance);
  EXPECT_PIXEL(shown, 210, 240, kBackground, kTolerance);

  // SetScissoring reaches the live sprite: only x 150..250 of the square remains.
  host.ClearStack();
  host.PushBool(true).PushInt(150).PushInt(0).PushInt(100).PushInt(480);
  ASSERT_EQ(Call("SetScissoring"), 17);
  shown = Show(sprite, [&] { DrawSquare(sprite, 100, 100, 200, 100, 0); });
  EXPECT_PIXEL(shown, 200, 200, kRed, kTolerance);
  EXPECT_PIXEL(shown, 120, 200, kBackground, kTolerance);
  EXPECT_PIXEL(shown, 280, 200, kBackground, kTolerance);

  // SetPerspective reaches the live sprite: with strength 4 a square at depth 40000 shrinks to
  // 0.69 of its size about the centre (220..420 becomes 251..389, its depth stays within the
  // device's range); switched off it is whole again.
  host.ClearStack();
  host.PushBool(false).PushInt(0).PushInt(0).PushInt(0).PushInt(0);
  ASSERT_EQ(Call("SetScissoring"), 17);
  const auto setPerspective = [&](bool on) {
    host.ClearStack();
    host.PushBool(on).PushFloat(320).PushFloat(240).PushFloat(4.0f);
    EXPECT_EQ(Call("SetPerspective"), 13);
  };
  const auto farSquare = [&] { DrawSquare(sprite, 220, 140, 200, 40000, 0); };
  setPerspective(true);
  shown = Show(sprite, farSquare);
  EXPECT_PIXEL(shown, 260, 240, kRed, kTolerance);
  EXPECT_PIXEL(shown, 240, 240, kBackground, kTolerance) << "inside the square, outside its projection";
  EXPECT_PIXEL(shown, 320, 150, kBackground, kTolerance);
  setPerspective(false);
  shown = Show(sprite, farSquare);
  EXPECT_PIXEL(shown, 240, 240, kRed, kTolerance);
  EXPECT_PIXEL(shown, 320, 150, kRed, kTolerance);

  // Texture handle 0 takes the texture off the sprite: its squares are plain white.
  host.ClearStack();
  host.PushWord(sprite).PushWord(0);
  ASSERT_EQ(Call("SpriteAttatchTexture"), 8);
  shown = Show(sprite, [&] { DrawSquare(sprite, 100, 100, 200, 100, 0); });
  EXPECT_PIXEL(shown, 200, 200, kWhite, kTolerance);
  EXPECT_PIXEL(shown, 350, 200, kBackground, kTolerance);

  // A ribbon of fewer than two points, from short or empty arrays, takes its 96 bytes and draws
  // nothing: the emptied sprite shows nothing of the square it held before.
  for (const std::int32_t count : {1, 0, -1}) {
    SCOPED_TRACE(count);
    shown = Show(sprite, [&] {
      const float point[] = {200};
      const std::uint32_t array = host.MakeArray(point, count > 0 ? 4 : 0);
      host.ClearStack();
      host.PushWord(sprite).PushArray(array).PushArray(array).PushArray(array).PushArray(array).PushArray(array);
      host.PushArray(array).PushInt(count).PushRect(0, 0, 1, 1);
      EXPECT_EQ(Call("SpriteDrawList"), 96);
    });
    EXPECT_PIXEL(shown, 200, 200, kBackground, kTolerance);
  }

  // Handle 0 does nothing; SpriteRelease gives the handle back.
  CallWithHandle("SpriteRendering", 0);
  CallWithHandle("SpriteRelease", sprite);
  CallWithHandle("TextureRelease", texture);
  frame.Finish();

  const std::string log = FromLogBytes(ReadWholeFile(log_.LogPath()));
  for (const char* line : {"VERTEX COUNT [  600 ] : VERTEX SIZE [  28BYTE ] : ", "頂点バッファの生成に失敗 [",
                           "CSprite2D Destruct"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

}  // namespace
