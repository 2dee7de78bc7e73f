// FontBegin, FontDraw and FontEnd of the real DLL as the user sees them: text written with GDI
// onto the back buffer after the scene, presented, and read back from the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::test::PluginWindowTest;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kClear = 0x000000;  // the frame's clear colour
// GDI colours are 0x00BBGGRR; the screen reads back 0x00RRGGBB.
constexpr std::int32_t kYellowRef = 0x0000FFFF;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::int32_t kBlueRef = 0x00FF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

// The smallest rectangle that holds every pixel other than the clear colour; empty if none.
RECT Painted(const CapturedImage& image) {
  RECT box = {image.width, image.height, 0, 0};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.At(x, y) == kClear) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
             std::max<LONG>(box.bottom, y + 1)};
    }
  }
  return box.left < box.right ? box : RECT{};
}

class BackBufferText : public PluginWindowTest {
 protected:
  BackBufferText() : PluginWindowTest(u"Vela back-buffer text test", kWidth, kHeight) {}

  void FontBegin(std::int32_t height) {
    host.ClearStack();
    host.PushString(host.MakeString(u"Courier New")).PushInt(height);
    EXPECT_EQ(Call("FontBegin"), 16);
  }
  void FontDraw(int x, int y, const std::u16string& text) {
    host.ClearStack();
    host.PushInt(x).PushInt(y).PushInt(kYellowRef).PushInt(kBlueRef).PushString(host.MakeString(text));
    EXPECT_EQ(Call("FontDraw"), 28);
  }
  void FontEnd() {
    host.ClearStack();
    EXPECT_EQ(Call("FontEnd"), 0);
  }

  // Frames cleared by Direct3D and written on after the scene, then the screen.
  CapturedImage ShowOneLine(int x, int y, const std::u16string& text) {
    return Show(kClear, [] {}, [&] {
      FontBegin(24);
      FontDraw(x, y, text);
      FontEnd();
    });
  }
};

TEST_F(BackBufferText, TextAppearsInItsColourOnItsBackgroundAtXY) {
  const CapturedImage shown = ShowOneLine(40, 30, u"HELLO");
  ASSERT_FALSE(shown.Empty());
  const RECT cell = Painted(shown);
  EXPECT_EQ(std::pair(cell.left, cell.top), std::pair(40L, 30L)) << "the text cell starts at x, y";
  EXPECT_GT(cell.right - cell.left, 5 * 4) << "five characters";
  EXPECT_GT(cell.bottom - cell.top, 8);
  // Wine's GDI smooths the glyphs' edges: every pixel of the cell is yellow, blue or a mix of the
  // two (red and green equal, never the black of the clear); blue fills the cell around the
  // letters.
  int outside = 0, yellow = 0, blue = 0;
  for (int y = cell.top; y < cell.bottom; ++y) {
    for (int x = cell.left; x < cell.right; ++x) {
      const std::uint32_t pixel = shown.At(x, y);
      const int r = static_cast<int>(pixel >> 16 & 0xFF), g = static_cast<int>(pixel >> 8 & 0xFF);
      outside += std::abs(r - g) > 2 || r + static_cast<int>(pixel & 0xFF) < 200;
      yellow += pixel == kYellow;
      blue += pixel == kBlue;
    }
  }
  EXPECT_EQ(outside, 0) << "nothing but the two colours in the cell";
  EXPECT_GT(yellow, 20) << "the letters";
  EXPECT_GT(blue, yellow) << "opaque: the background fills the cell around the letters";
}

TEST_F(BackBufferText, PerCentSignsAndFormatLikeTextAreDrawnAsCharacters) {
  const RECT digits = Painted(ShowOneLine(20, 40, u"100"));
  const RECT withSign = Painted(ShowOneLine(20, 40, u"100%"));
  const RECT formatLike = Painted(ShowOneLine(20, 40, u"%s%d%n"));
  const LONG cellWidth = (digits.right - digits.left) / 3;
  ASSERT_GT(cellWidth, 4);
  EXPECT_EQ(withSign.left, digits.left);
  EXPECT_GT(withSign.right - digits.right, cellWidth / 2) << "one more character cell";
  EXPECT_GT(formatLike.right - formatLike.left, (withSign.right - withSign.left) * 5 / 4) << "six characters";
}

TEST_F(BackBufferText, ASecondFontBeginWhileOneIsOpenAndTextOutsideABracketChangeNothing) {
  const CapturedImage once = ShowOneLine(20, 20, u"Same");
  const CapturedImage twice = Show(kClear, [] {}, [&] {
    FontBegin(24);
    FontBegin(60);  // refused: the first bracket and its font stay
    FontDraw(20, 20, u"Same");
    FontEnd();
    FontEnd();  // no bracket open: ignored
    FontDraw(200, 200, u"ignored");
  });
  ASSERT_FALSE(once.Empty());
  EXPECT_TRUE(once.pixels == twice.pixels);
  EXPECT_TRUE(ShowOneLine(20, 20, u"Same").pixels == once.pixels) << "a bracket opens again after all that";
}

}  // namespace
