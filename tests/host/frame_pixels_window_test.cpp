// Clear, ColorFill and Refresh of the real DLL as the user sees them: a frame drawn through the
// exports, presented, and read back from the screen over the window's client area.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

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

// Counts the pixels that are not `fill` inside `filled` and `background` outside, and reports
// the first of them.
int CountWrongPixels(const CapturedImage& image, RECT filled, std::uint32_t background, std::uint32_t fill) {
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const bool inside = x >= filled.left && x < filled.right && y >= filled.top && y < filled.bottom;
      const std::uint32_t expected = inside ? fill : background;
      if (image.At(x, y) != expected && wrong++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << image.At(x, y) << ", expected 0x"
                      << expected;
      }
    }
  }
  return wrong;
}

class FramePixelsWindow : public PluginWindowTest {
 protected:
  FramePixelsWindow() : PluginWindowTest(u"Vela frame pixels test", kWidth, kHeight) {}
};

TEST_F(FramePixelsWindow, ColorFillCoversExactlyLeftTopRightBottomOnTheScreen) {
  const RECT fill = {10, 20, 40, 60};  // ColorFill(10, 20, 30, 40)
  const CapturedImage shown = Show(kBlue, [&] {
    host.ClearStack();
    host.PushInt(10).PushInt(20).PushInt(30).PushInt(40).PushInt(static_cast<std::int32_t>(0xFF000000 | kYellow));
    EXPECT_EQ(Call("ColorFill"), 20);
  });
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);
  // The corners and their neighbours just outside, one by one, so that an off-by-one says which
  // edge moved.
  EXPECT_EQ(shown.At(10, 20), kYellow) << "top left";
  EXPECT_EQ(shown.At(39, 59), kYellow) << "bottom right";
  EXPECT_EQ(shown.At(9, 20), kBlue) << "left of the left edge";
  EXPECT_EQ(shown.At(10, 19), kBlue) << "above the top edge";
  EXPECT_EQ(shown.At(40, 59), kBlue) << "right is exclusive";
  EXPECT_EQ(shown.At(39, 60), kBlue) << "bottom is exclusive";
  EXPECT_EQ(CountWrongPixels(shown, fill, kBlue, kYellow), 0);
}

}  // namespace
