// Init with a client size of 0 x 0 draws on an area of the screen's width by the screen's height.
// The window keeps the client size it was given (none), so the test gives it half the screen's
// size, where each presented frame shows scaled down by one half.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;

class ScreenSizedDrawingArea : public vela::test::PluginWindowTest {
 protected:
  ScreenSizedDrawingArea() : PluginWindowTest(u"Vela screen-sized drawing area test") {}
};

TEST_F(ScreenSizedDrawingArea, ZeroWidthAndHeightTakeTheScreensWidthAndHeight) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_NE(width, height) << "on a square screen a swapped width and height would pass";
  ASSERT_TRUE(frame.Init(0, 0, 0));
  RECT outer = {0, 0, width / 2, height / 2};
  AdjustWindowRect(&outer, static_cast<DWORD>(GetWindowLongW(frame.Window(), GWL_STYLE)), FALSE);
  SetWindowPos(frame.Window(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER);

  // The lower right quarter of the drawing area, red on black.
  const CapturedImage shown = Show(0x000000, [&] {
    host.ClearStack();
    host.PushInt(width / 2).PushInt(height / 2).PushInt(width / 2).PushInt(height / 2).PushInt(static_cast<std::int32_t>(0xFFFF0000));
    EXPECT_EQ(Call("ColorFill"), 20);
  });
  ASSERT_EQ(shown.width, width / 2);
  ASSERT_EQ(shown.height, height / 2);
  const int cornerX = width / 4, cornerY = height / 4;  // where the quarter begins on the screen
  EXPECT_EQ(shown.At(cornerX + 6, cornerY + 6), 0xFF0000u) << "inside the quarter";
  EXPECT_EQ(shown.At(cornerX - 6, cornerY + 6), 0u) << "left of the quarter";
  EXPECT_EQ(shown.At(cornerX + 6, cornerY - 6), 0u) << "above the quarter";
}

}  // namespace
