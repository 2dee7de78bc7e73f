// SpriteDrawList with fewer than two points, as a host calls it with short or empty arrays: the
// export takes its 96 bytes and the sprite, emptied by SpriteResetBuffer, draws nothing of what
// it held before.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;

constexpr std::uint32_t kBackground = 0x204060;
constexpr int kTolerance = 24;

class ShortRibbonWindow : public PluginWindowTest {
 protected:
  ShortRibbonWindow() : PluginWindowTest(u"Vela short ribbon test", 320, 240) {}
};

TEST_F(ShortRibbonWindow, RibbonsOfFewerThanTwoPointsDrawNothing) {
  host.ClearStack();
  host.PushWord(host.AbsoluteRef(1)).PushInt(60);
  ASSERT_EQ(Call("SpriteCreate"), 8);
  const auto sprite = static_cast<std::uint32_t>(host.Variable(1));
  ASSERT_NE(sprite, 0u);
  const auto frame = [&](auto fill) {
    return Show(kBackground, [&] {
      CallWithHandle("SpriteResetBuffer", sprite);
      fill();
      CallWithHandle("SpriteUpdateBuffer", sprite);
      CallWithHandle("SpriteRendering", sprite);
    });
  };
  vela::host::CapturedImage shown = frame([&] {
    host.ClearStack();
    host.PushWord(sprite).PushRect(100, 80, 120, 80).PushFloat(100).PushRect(0, 0, 1, 1);
    EXPECT_EQ(Call("SpriteDrawSquare"), 40);
  });
  EXPECT_PIXEL(shown, 160, 120, kWhite, kTolerance);

  for (const std::int32_t count : {1, 0, -1}) {
    SCOPED_TRACE(count);
    shown = frame([&] {
      const float x[] = {160}, y[] = {120}, z[] = {100}, w[] = {50};
      const std::int32_t angle[] = {0};
      const std::uint32_t colour[] = {kWhite};
      const std::size_t bytes = count > 0 ? 4 : 0;
      host.ClearStack();
      host.PushWord(sprite);
      host.PushArray(host.MakeArray(x, bytes)).PushArray(host.MakeArray(y, bytes)).PushArray(host.MakeArray(z, bytes));
      host.PushArray(host.MakeArray(w, bytes)).PushArray(host.MakeArray(angle, bytes));
      host.PushArray(host.MakeArray(colour, bytes)).PushInt(count).PushRect(0, 0, 1, 1);
      EXPECT_EQ(Call("SpriteDrawList"), 96);
    });
    EXPECT_PIXEL(shown, 160, 120, kBackground, kTolerance);
  }
}

}  // namespace
