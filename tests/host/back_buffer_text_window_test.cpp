// FontBegin, FontDraw and FontEnd of the real DLL as the user sees them: text written with GDI
// onto the back buffer after the scene, presented, and read back from the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <string>

#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::test::PluginWindowTest;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kClear = 0x000000;  // the frame's clear colour (X8R8G8B8)
// GDI colours are 0x00BBGGRR; the screen reads back 0x00RRGGBB.
constexpr std::int32_t kYellowRef = 0x0000FFFF;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::int32_t kBlueRef = 0x00FF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::int32_t kRedRef = 0x000000FF;
constexpr std::uint32_t kRed = 0xFF0000;

// One text call of a frame; an empty face skips FontBegin, a negative height skips FontEnd.
struct TextCall {
  int x, y;
  std::int32_t textColour, backgroundColour;
  std::u16string text;
};

// The smallest rectangle that holds every pixel other than the clear colour; empty if none.
RECT Painted(const CapturedImage& image) {
  RECT box = {image.width, image.height, 0, 0};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      if (image.At(x, y) == kClear) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  return box.left < box.right ? box : RECT{};
}

int CountColour(const CapturedImage& image, const RECT& box, std::uint32_t colour) {
  int count = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) count += image.At(x, y) == colour;
  }
  return count;
}

// Wine's GDI smooths the edges of the glyphs (blending with gamma): a pixel of the cell is the
// text colour, the background colour, or a mix of the two. Answers how many pixels are no mix
// of yellow text over blue (red and green equal, and bright: never the black of the clear),
// and counts the pixels nearer the text colour in `text`.
int CountOutsideYellowOverBlue(const CapturedImage& image, const RECT& box, int& text) {
  int outside = 0;
  text = 0;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      const std::uint32_t pixel = image.At(x, y);
      const int r = static_cast<int>(pixel >> 16 & 0xFF), g = static_cast<int>(pixel >> 8 & 0xFF);
      const int b = static_cast<int>(pixel & 0xFF);
      if (std::abs(r - g) > 2 || r + b < 200) ++outside;
      if (r >= 128) ++text;
    }
  }
  return outside;
}

class BackBufferText : public PluginWindowTest {
 protected:
  BackBufferText() : PluginWindowTest(u"Vela back-buffer text test", kWidth, kHeight) {}

  void FontBegin(std::int32_t height) {
    host.ClearStack();
    host.PushString(host.MakeString(u"Courier New")).PushInt(height);
    EXPECT_EQ(Call("FontBegin"), 16);
  }
  void FontDraw(const TextCall& call) {
    host.ClearStack();
    host.PushInt(call.x).PushInt(call.y).PushInt(call.textColour).PushInt(call.backgroundColour);
    host.PushString(host.MakeString(call.text));
    EXPECT_EQ(Call("FontDraw"), 28);
  }
  void FontEnd() {
    host.ClearStack();
    EXPECT_EQ(Call("FontEnd"), 0);
  }

  // Frames cleared by Direct3D and written on by `text` after the scene, then the screen.
  template <typename WriteText>
  CapturedImage Show(WriteText text) {
    return PluginWindowTest::Show(kClear, [] {}, text);
  }

  CapturedImage ShowOneLine(const TextCall& call) {
    return Show([&] {
      FontBegin(24);
      FontDraw(call);
      FontEnd();
    });
  }
};

TEST_F(BackBufferText, TextAppearsInItsColourOnItsBackgroundAtXY) {
  const CapturedImage shown = ShowOneLine({40, 30, kYellowRef, kBlueRef, u"HELLO"});
  ASSERT_FALSE(shown.Empty());
  const RECT cell = Painted(shown);
  EXPECT_EQ(cell.left, 40) << "the text cell starts at x";
  EXPECT_EQ(cell.top, 30) << "the text cell starts at y";
  EXPECT_GT(cell.right - cell.left, 5 * 4) << "five characters";
  EXPECT_GT(cell.bottom - cell.top, 8);
  int text = 0;
  EXPECT_EQ(CountOutsideYellowOverBlue(shown, cell, text), 0) << "nothing but the two colours in the cell";
  EXPECT_GT(CountColour(shown, cell, kYellow), 20) << "the letters";
  EXPECT_GT(CountColour(shown, cell, kBlue), text) << "opaque: the background fills the cell around the letters";
}

TEST_F(BackBufferText, TextColourEqualToTheBackgroundPaintsASolidBlock) {
  const CapturedImage shown = ShowOneLine({10, 100, kRedRef, kRedRef, u"BLOCK"});
  ASSERT_FALSE(shown.Empty());
  const RECT cell = Painted(shown);
  ASSERT_GT(cell.right - cell.left, 10);
  EXPECT_EQ(cell.left, 10);
  EXPECT_EQ(cell.top, 100);
  EXPECT_EQ(CountColour(shown, cell, kRed), (cell.right - cell.left) * (cell.bottom - cell.top));
}

TEST_F(BackBufferText, ASecondFontBeginWhileOneIsOpenChangesNothing) {
  const TextCall line = {20, 20, kYellowRef, kBlueRef, u"Same"};
  const CapturedImage once = ShowOneLine(line);
  const CapturedImage twice = Show([&] {
    FontBegin(24);
    FontBegin(60);  // refused: the first bracket and its font stay
    FontDraw(line);
    FontEnd();
    FontEnd();      // no bracket open: ignored
    FontDraw({200, 200, kRedRef, kRedRef, u"ignored"});
  });
  ASSERT_FALSE(once.Empty());
  ASSERT_EQ(once.pixels.size(), twice.pixels.size());
  EXPECT_TRUE(once.pixels == twice.pixels);
  EXPECT_EQ(CountColour(twice, RECT{150, 150, kWidth, kHeight}, kRed), 0);

  // A bracket can be opened again after all that.
  const CapturedImage again = ShowOneLine(line);
  EXPECT_TRUE(again.pixels == once.pixels);
}

TEST_F(BackBufferText, APerCentSignIsDrawnAsACharacter) {
  const CapturedImage without = ShowOneLine({20, 40, kYellowRef, kBlueRef, u"100"});
  const CapturedImage with = ShowOneLine({20, 40, kYellowRef, kBlueRef, u"100%"});
  const CapturedImage formatLike = ShowOneLine({20, 80, kYellowRef, kBlueRef, u"%s%d%n"});
  ASSERT_FALSE(without.Empty());
  ASSERT_FALSE(with.Empty());
  const RECT digits = Painted(without);
  const RECT all = Painted(with);
  ASSERT_GT(digits.right, digits.left);
  EXPECT_EQ(all.left, digits.left);
  EXPECT_GT(all.right, digits.right) << "one more character cell";
  // Wherever the two frames differ, it is to the right of the digits, where the sign stands.
  int differing = 0;
  for (int y = 0; y < with.height; ++y) {
    for (int x = 0; x < with.width; ++x) {
      if (with.At(x, y) == without.At(x, y)) continue;
      ++differing;
      EXPECT_GE(x, digits.right - 1) << "at (" << x << ", " << y << ")";
      if (x < digits.right - 1) return;
    }
  }
  EXPECT_GT(differing, 0);
  const RECT sign = {digits.right, all.top, all.right, all.bottom};
  int strokes = 0;
  EXPECT_EQ(CountOutsideYellowOverBlue(with, sign, strokes), 0);
  EXPECT_GT(strokes, 5) << "the sign's strokes in the text colour";
  // Text that looks like a format is drawn as it is, six characters wide.
  const RECT six = Painted(formatLike);
  EXPECT_GT(six.right - six.left, (all.right - all.left) * 5 / 4);
}

}  // namespace
