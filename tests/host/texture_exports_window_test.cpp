// The texture exports of the real DLL read back from the screen: pictures drawn, turned,
// mirrored, inset, blended, shared by file and released; and what the log says of the loads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kBackground = 0x4080C0;
constexpr int kTolerance = 8;

class TextureExportsWindow : public PluginWindowTest {
 protected:
  TextureExportsWindow() : PluginWindowTest(u"Vela texture exports test", kWidth, kHeight) {}

  // TextureDraw of the source rectangle from (0, 0), the quadrant picture's 100 x 50 by default.
  void Draw(std::uint32_t handle, float x, float y, float width, float height, float sourceWidth = 100,
            float sourceHeight = 50) {
    host.ClearStack();
    host.PushWord(handle).PushRect(x, y, width, height).PushRect(0, 0, sourceWidth, sourceHeight);
    EXPECT_EQ(Call("TextureDraw"), 36);
  }

  void SetInt(const char* name, std::int32_t value) {
    host.ClearStack();
    host.PushInt(value);
    EXPECT_EQ(Call(name), 4);
  }
};

TEST_F(TextureExportsWindow, APictureIsDrawnOnItsPixelsTurnedMirroredSharedAndReleased) {
  const FileBesideExecutable file(u"vela_texture_exports.png", QuadrantPng(100, 50));
  const std::uint32_t handle = Load(file.Name());
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(Load(u"VELA_TEXTURE_EXPORTS.PNG", 1), handle) << "the same file, in any letter case, is one texture";

  const CapturedImage drawn = Show(kBackground, [&] { Draw(handle, 10, 20, 100, 50); });
  ASSERT_FALSE(drawn.Empty());
  EXPECT_PIXEL(drawn, 35, 32, kRed, kTolerance);
  EXPECT_PIXEL(drawn, 85, 32, kGreen, kTolerance);
  EXPECT_PIXEL(drawn, 35, 57, kBlue, kTolerance);
  EXPECT_PIXEL(drawn, 85, 57, kWhite, kTolerance);
  // The corners are covered, the pixels beside them are not.
  EXPECT_PIXEL(drawn, 10, 20, kRed, 24);
  EXPECT_PIXEL(drawn, 109, 69, kWhite, 24);
  for (auto [x, y] : {std::pair{9, 20}, {10, 19}, {110, 69}, {109, 70}}) EXPECT_EQ(drawn.At(x, y), kBackground);

  // A negative width mirrors about the destination's left edge.
  const CapturedImage mirrored = Show(kBackground, [&] { Draw(handle, 110, 20, -100, 50); });
  EXPECT_PIXEL(mirrored, 85, 32, kRed, kTolerance);
  EXPECT_PIXEL(mirrored, 35, 57, kWhite, kTolerance);

  const CapturedImage turned = Show(kBackground, [&] {
    host.ClearStack();
    host.PushWord(handle).PushRect(10, 20, 100, 50).PushRect(0, 0, 100, 50).PushInt(16384);
    EXPECT_EQ(Call("TextureDrawRotate"), 40);
  });
  EXPECT_PIXEL(turned, 72, 20, kRed, kTolerance) << "a quarter turn clockwise about (60, 45)";
  EXPECT_PIXEL(turned, 48, 70, kWhite, kTolerance);
  EXPECT_EQ(turned.At(20, 45), kBackground);
  EXPECT_EQ(turned.At(72, 96), kBackground) << "the turned quad reaches down to 95";

  CallWithHandle("TextureRelease", handle);
  const CapturedImage still = Show(kBackground, [&] { Draw(handle, 10, 20, 100, 50); });
  EXPECT_PIXEL(still, 35, 32, kRed, kTolerance) << "one reference is left";
  CallWithHandle("TextureRelease", handle);
}

// SetOffsetUV moves every edge of the source rectangle inward by its value in image pixels: on a
// 32-pixel picture of vertical bands (red 8, green 16, blue 8) an inset of 8 leaves only green.
// x 40 and 280 sample image x 3.3 and 28.9 without the inset, 9.6 and 22.4 with it: clear of the
// filtered band edges either way.
TEST_F(TextureExportsWindow, TheInsetNarrowsTheSourceRectangle) {
  const FileBesideExecutable file(u"vela_texture_bands.png", Png(32, 32, [](std::uint32_t x, std::uint32_t) {
                                    return x < 8 ? kRed : x < 24 ? kGreen : kBlue;
                                  }));
  const std::uint32_t bands = Load(file.Name());
  ASSERT_NE(bands, 0u);
  const auto drawWithInset = [&](float inset) {
    return Show(kBackground, [&] {
      host.ClearStack();
      host.PushFloat(inset);
      EXPECT_EQ(Call("SetOffsetUV"), 4);
      Draw(bands, 10, 10, 300, 100, 32, 32);
    });
  };
  const CapturedImage whole = drawWithInset(0);
  EXPECT_PIXEL(whole, 40, 60, kRed, kTolerance);
  EXPECT_PIXEL(whole, 280, 60, kBlue, kTolerance);
  const CapturedImage inset = drawWithInset(8);
  EXPECT_PIXEL(inset, 40, 60, kGreen, kTolerance);
  EXPECT_PIXEL(inset, 280, 60, kGreen, kTolerance);
}

// Magenta at half alpha over the background, blended by each type; the expected colours follow
// each type's blend factors. Handle 0 is an untextured quad in opaque white.
TEST_F(TextureExportsWindow, EachBlendingTypeGivesItsColourOverTheBackground) {
  const FileBesideExecutable file(u"vela_texture_blend.png", Png(8, 8, [](std::uint32_t, std::uint32_t) {
                                    return 0x80FF00FFu;
                                  }));
  const std::uint32_t texture = Load(file.Name());
  ASSERT_NE(texture, 0u);
  const double alpha = 128.0 / 255.0;
  const auto expected = [&](int type) {
    std::uint32_t colour = 0;
    for (int shift : {16, 8, 0}) {
      const double s = (0xFF00FFu >> shift & 0xFF) / 255.0, d = (kBackground >> shift & 0xFF) / 255.0;
      const double out[] = {s, s * alpha + d * (1 - alpha), s * alpha + d, s + d, d * s, s * (1 - d)};
      colour |= static_cast<std::uint32_t>(std::min(out[type], 1.0) * 255.0 + 0.5) << shift;
    }
    return colour;
  };
  for (int type = 0; type <= 5; ++type) {
    const CapturedImage shown = Show(kBackground, [&] {
      SetInt("SetBlendingType", type);
      Draw(texture, 20, 20, 40, 40, 8, 8);
      Draw(0, 100, 20, 40, 40, 1, 1);
    });
    EXPECT_PIXEL(shown, 40, 40, expected(type), 3) << "blending type " << type;
    const std::uint32_t white = type == 4 ? kBackground : type == 5 ? (~kBackground & 0xFFFFFF) : 0xFFFFFF;
    EXPECT_PIXEL(shown, 120, 40, white, 3) << "white quad, blending type " << type;
    EXPECT_EQ(shown.At(200, 200), kBackground);
  }
  SetInt("SetBlendingType", 0);
}

TEST_F(TextureExportsWindow, TheLogNamesALoadedPicturesSizeAndANoImageFileButNotAMissingOne) {
  LogSettingsFile settings(L"vela_texture_exports_log.html", L"Vela texture log");
  const FileBesideExecutable picture(u"vela_texture_wide.png", QuadrantPng(100, 20));
  const FileBesideExecutable junk(u"vela_texture_junk.png", std::string(64, 'Z'));
  frame.Finish();  // the fixture's Init ran before the settings file existed
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  EXPECT_NE(Load(picture.Name()), 0u);
  EXPECT_EQ(Load(u"vela_no_such_texture.png"), 0u);
  EXPECT_EQ(Load(junk.Name()), 0u);
  frame.Finish();

  const std::string log = FromLogBytes(ReadWholeFile(settings.LogPath()));
  EXPECT_NE(log.find("SIZE [ 128 x 32 ] FORMAT [ DXT5 ] MIPMAP [ 1 ] : "), std::string::npos)
      << "width, then height: " << log;
  EXPECT_EQ(log.find("vela_no_such_texture"), std::string::npos);
  for (const char* line : {"CTexture::CreateFromFile</FONT></B> : [ vela_texture_junk.png ] : ",
                           "<B><FONT color=\"RED\">ファイルの読み込みに失敗しました [ ",
                           "<B><FONT color=\"RED\">画像データの展開に失敗</FONT></B> : "}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

}  // namespace
