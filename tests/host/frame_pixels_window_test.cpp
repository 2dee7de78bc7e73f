// Clear, ColorFill and Refresh of the real DLL read back from the screen, on a drawing area of
// the client's size or of the screen's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "host/window_capture.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::test::PluginWindowTest;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// Saturated colours: every channel all ones or all zeros, so nothing rounds on the way.
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kYellow = 0xFFFF00;

class FramePixelsWindow : public PluginWindowTest {
 protected:
  FramePixelsWindow() : PluginWindowTest(u"Vela frame pixels test") {}

  CapturedImage ShowColorFill(std::uint32_t background, RECT fill, std::uint32_t colour) {
    return Show(background, [&] {
      host.ClearStack();
      host.PushInt(fill.left).PushInt(fill.top).PushInt(fill.right - fill.left).PushInt(fill.bottom - fill.top);
      host.PushInt(static_cast<std::int32_t>(0xFF000000 | colour));
      EXPECT_EQ(Call("ColorFill"), 20);
    });
  }
};

TEST_F(FramePixelsWindow, ColorFillCoversExactlyLeftTopRightBottomOnTheScreen) {
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const CapturedImage shown = ShowColorFill(kBlue, {10, 20, 40, 60}, kYellow);
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(shown.At(x, y), x >= 10 && x < 40 && y >= 20 && y < 60 ? kYellow : kBlue) << x << ", " << y;
    }
  }
}

// A client size of 0 x 0 draws on an area of the screen's width by its height. The window keeps
// the client size it was given (none), so the test gives it half the screen's size, where each
// presented frame shows scaled down by one half.
TEST_F(FramePixelsWindow, ZeroWidthAndHeightTakeTheScreensWidthAndHeight) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_NE(width, height) << "on a square screen a swapped width and height would pass";
  ASSERT_TRUE(frame.Init(0, 0, 0));
  RECT outer = {0, 0, width / 2, height / 2};
  AdjustWindowRect(&outer, static_cast<DWORD>(GetWindowLongW(frame.Window(), GWL_STYLE)), FALSE);
  SetWindowPos(frame.Window(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top, SWP_NOZORDER);

  // The lower right quarter of the drawing area; away from its scaled edges, exact.
  const CapturedImage shown = ShowColorFill(kBlue, {width / 2, height / 2, width, height}, kYellow);
  ASSERT_EQ(shown.width, width / 2);
  ASSERT_EQ(shown.height, height / 2);
  const RECT quarter = {width / 4, height / 4, width / 2, height / 2};
  for (const auto& [x, y, colour] : {std::tuple{quarter.left + 6, quarter.top + 6, kYellow},
                                     {quarter.left - 6, quarter.top + 6, kBlue}, {quarter.left + 6, quarter.top - 6, kBlue}}) {
    EXPECT_EQ(shown.At(x, y), colour) << "(" << x << ", " << y << ")";
  }
}

}  // namespace
