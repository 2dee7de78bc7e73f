// Clear, ColorFill, SetBlendingType and Refresh of the real DLL as the user sees them: frames
// drawn through the exports, presented, and read back from the screen over the window's client
// area.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "host/window_capture.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::test::PluginWindowTest;
using vela::test::Rgb;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
// Saturated colours: every channel all ones or all zeros, so nothing rounds on the way.
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kYellow = 0xFFFFFF00;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kMagenta = 0xFFFF00FF;

class FramePixelsWindow : public PluginWindowTest {
 protected:
  FramePixelsWindow() : PluginWindowTest(u"Vela frame pixels test", kWidth, kHeight) {}

  void SetUp() override {
    PluginWindowTest::SetUp();
    ASSERT_NE(frame.Window(), nullptr);
  }

  // One frame as the host's loop draws it, with the byte count of every export checked.
  void DrawFrame(std::uint32_t background, const RECT* fill, std::uint32_t colour) {
    const bool began = PluginWindowTest::DrawFrame(background, [&] {
      if (!fill) return;
      host.ClearStack();
      host.PushInt(fill->left).PushInt(fill->top).PushInt(fill->right - fill->left).PushInt(fill->bottom - fill->top);
      host.PushInt(static_cast<std::int32_t>(colour));
      EXPECT_EQ(Call("ColorFill"), 20);
    }, [] {});
    EXPECT_TRUE(began) << "BeginScene";
  }

  // Under Wine the very first frame presented to a new window can be lost: the same frame is
  // presented a few times, then the screen is read.
  CapturedImage PresentAndCapture(std::uint32_t background, const RECT* fill, std::uint32_t colour) {
    for (int repeat = 0; repeat < 3; ++repeat) {
      DrawFrame(background, fill, colour);
      vela::host::PumpMessagesFor(50);
    }
    return vela::host::CaptureClientArea(frame.Window());
  }
};

// Counts the pixels that are not `fill` inside `filled` and `background` outside, and reports
// the first of them when `report` is set.
int CountWrongPixels(const CapturedImage& image, RECT filled, std::uint32_t background, std::uint32_t fill,
                     bool report = true) {
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const bool inside = x >= filled.left && x < filled.right && y >= filled.top && y < filled.bottom;
      const std::uint32_t expected = Rgb(inside ? fill : background);
      if (image.At(x, y) != expected && wrong++ == 0 && report) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << image.At(x, y) << ", expected 0x"
                      << expected;
      }
    }
  }
  return wrong;
}

// The screen as soon as it shows the expected picture, or after two seconds: how long the
// presented frame takes to reach the screen depends on the machine's load (and on emulation).
CapturedImage CaptureOnceShown(HWND window, RECT filled, std::uint32_t background, std::uint32_t fill) {
  CapturedImage shown;
  for (int attempt = 0; attempt < 40; ++attempt) {
    vela::host::PumpMessagesFor(50);
    shown = vela::host::CaptureClientArea(window);
    if (CountWrongPixels(shown, filled, background, fill, false) == 0) break;
  }
  return shown;
}

TEST_F(FramePixelsWindow, ColorFillCoversExactlyLeftTopRightBottomOnTheScreen) {
  const RECT fill = {10, 20, 40, 60};  // ColorFill(10, 20, 30, 40)
  const CapturedImage shown = PresentAndCapture(kBlue, &fill, kYellow);
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);

  // The corners of the rectangle and their neighbours just outside, named one by one so that
  // an off-by-one says which edge moved.
  EXPECT_EQ(shown.At(10, 20), Rgb(kYellow)) << "top left";
  EXPECT_EQ(shown.At(39, 59), Rgb(kYellow)) << "bottom right";
  EXPECT_EQ(shown.At(9, 20), Rgb(kBlue)) << "left of the left edge";
  EXPECT_EQ(shown.At(10, 19), Rgb(kBlue)) << "above the top edge";
  EXPECT_EQ(shown.At(40, 59), Rgb(kBlue)) << "right is exclusive";
  EXPECT_EQ(shown.At(39, 60), Rgb(kBlue)) << "bottom is exclusive";
  EXPECT_EQ(CountWrongPixels(shown, fill, kBlue, kYellow), 0);
}

TEST_F(FramePixelsWindow, ColorFillRewritesTheHostsWordsAsLeftTopRightBottom) {
  ASSERT_TRUE(frame.WaitMsg());
  host.ClearStack();
  ASSERT_EQ(Call("BeginScene"), -1);
  host.ClearStack();
  host.PushInt(10).PushInt(20).PushInt(30).PushInt(40).PushInt(static_cast<std::int32_t>(kGreen));
  ASSERT_EQ(Call("ColorFill"), 20);
  std::int32_t words[4];
  std::memcpy(words, host.Pointer(host.Top()), sizeof words);
  EXPECT_EQ(words[0], 10);
  EXPECT_EQ(words[1], 20);
  EXPECT_EQ(words[2], 40);
  EXPECT_EQ(words[3], 60);
  host.ClearStack();
  EXPECT_EQ(Call("EndScene"), 0);
}

TEST_F(FramePixelsWindow, EachRefreshShowsTheLatestFrame) {
  const RECT fill = {100, 100, 300, 200};
  CapturedImage shown = PresentAndCapture(kRed, &fill, kGreen);
  EXPECT_EQ(CountWrongPixels(shown, fill, kRed, kGreen), 0);

  // One more frame in other colours replaces it at once.
  const RECT moved = {320, 240, 640, 480};
  DrawFrame(kGreen, &moved, kMagenta);
  shown = CaptureOnceShown(frame.Window(), moved, kGreen, kMagenta);
  EXPECT_EQ(CountWrongPixels(shown, moved, kGreen, kMagenta), 0);
}

TEST_F(FramePixelsWindow, BlendingTypesLeaveClearsAloneAndBlendQuads) {
  // Clears write the target directly, whatever the blending: every type, and one outside the
  // table, leaves the same pixels.
  for (std::int32_t type : {0, 1, 2, 3, 4, 5, 6, -1}) {
    host.ClearStack();
    host.PushInt(type);
    EXPECT_EQ(Call("SetBlendingType"), 4) << "type " << type;
  }
  host.ClearStack();
  host.PushInt(2);  // additive
  ASSERT_EQ(Call("SetBlendingType"), 4);
  const RECT fill = {0, 0, 64, 32};
  const CapturedImage shown = PresentAndCapture(kMagenta, &fill, kBlue);
  EXPECT_EQ(CountWrongPixels(shown, fill, kMagenta, kBlue), 0);

  // Quads do blend. TextureDraw of handle 0 is an untextured quad in opaque white: type 0 copies
  // it, type 5 turns what lies under it into its inverse, type 4 multiplies by white (nothing).
  constexpr std::uint32_t kBackground = 0x203040;
  const auto quad = [&](std::int32_t type, float x) {
    host.ClearStack();
    host.PushInt(type);
    EXPECT_EQ(Call("SetBlendingType"), 4);
    host.ClearStack();
    host.PushWord(0).PushRect(x, 100, 100, 100).PushRect(0, 0, 1, 1);
    EXPECT_EQ(Call("TextureDraw"), 36);
  };
  const CapturedImage blended = Show(kBackground, [&] {
    quad(0, 100);
    quad(5, 250);
    quad(4, 400);
  });
  ASSERT_FALSE(blended.Empty());
  EXPECT_PIXEL(blended, 150, 150, vela::test::kWhite, 2);
  EXPECT_PIXEL(blended, 300, 150, ~kBackground, 2);
  EXPECT_PIXEL(blended, 450, 150, kBackground, 2);
  EXPECT_PIXEL(blended, 150, 250, kBackground, 2) << "below the quads";
}

}  // namespace
