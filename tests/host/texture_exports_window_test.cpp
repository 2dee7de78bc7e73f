// TextureLoad, TextureDraw, TextureDrawRotate, TextureRelease and SetOffsetUV of the real DLL,
// called through the host harness: the byte counts, the handle written through the HostRef,
// sharing by file, the pictures as they reach the screen, and what the log says of a missing
// file and of a file that is no image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kBackground = 0x203040;
constexpr int kTolerance = 8;

class TextureExportsWindow : public PluginWindowTest {
 protected:
  TextureExportsWindow() : PluginWindowTest(u"Vela texture exports test") {}

  // TextureLoad into host variable `variable`; answers the handle written there.
  std::uint32_t Load(const std::u16string& name, int variable = 0) {
    host.ClearStack();
    host.SetVariable(variable, 0x5A5A5A5A);
    host.PushWord(host.RelativeRef(variable)).PushString(host.MakeString(name));
    EXPECT_EQ(Call("TextureLoad"), 16);
    return static_cast<std::uint32_t>(host.Variable(variable));
  }

  void Draw(std::uint32_t handle, float x, float y, float width, float height) {
    host.ClearStack();
    host.PushWord(handle).PushRect(x, y, width, height).PushRect(0, 0, 100, 50);
    EXPECT_EQ(Call("TextureDraw"), 36);
  }

  void DrawRotate(std::uint32_t handle, std::int32_t angle) {
    host.ClearStack();
    host.PushWord(handle).PushRect(10, 20, 100, 50).PushRect(0, 0, 100, 50).PushInt(angle);
    EXPECT_EQ(Call("TextureDrawRotate"), 40);
  }

  void Release(std::uint32_t handle) { CallWithHandle("TextureRelease", handle); }

  template <typename DrawContent>
  CapturedImage Show(DrawContent drawContent) {
    return PluginWindowTest::Show(kBackground, drawContent);
  }
};

TEST_F(TextureExportsWindow, ALoadedPictureIsDrawnTurnedSharedReleasedAndInset) {
  const FileBesideExecutable file(u"vela_texture_exports.png", QuadrantPng(100, 50));
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));

  const std::uint32_t handle = Load(file.Name());
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(Load(file.Name(), 1), handle) << "the same file answers the same texture";

  const CapturedImage drawn = Show([&] { Draw(handle, 10, 20, 100, 50); });
  ASSERT_FALSE(drawn.Empty());
  EXPECT_PIXEL(drawn, 35, 32, kRed, kTolerance);
  EXPECT_PIXEL(drawn, 85, 32, kGreen, kTolerance);
  EXPECT_PIXEL(drawn, 35, 57, kBlue, kTolerance);
  EXPECT_PIXEL(drawn, 85, 57, kWhite, kTolerance);
  EXPECT_EQ(drawn.At(9, 40), kBackground);
  EXPECT_EQ(drawn.At(110, 40), kBackground);
  EXPECT_EQ(drawn.At(50, 19), kBackground);
  EXPECT_EQ(drawn.At(50, 70), kBackground);

  const CapturedImage turned = Show([&] { DrawRotate(handle, 16384); });
  EXPECT_PIXEL(turned, 72, 20, kRed, kTolerance) << "a quarter turn clockwise about (60, 45)";
  EXPECT_PIXEL(turned, 48, 70, kWhite, kTolerance);
  EXPECT_EQ(turned.At(20, 45), kBackground);

  host.ClearStack();
  host.PushFloat(0.5f);
  EXPECT_EQ(Call("SetOffsetUV"), 4);

  Release(handle);
  const CapturedImage still = Show([&] { Draw(handle, 10, 20, 100, 50); });
  EXPECT_PIXEL(still, 35, 32, kRed, kTolerance) << "one reference is left";
  Release(handle);
  Release(0);

  // SetOffsetUV moves every edge of the source rectangle inward by its value in image pixels: on
  // a 32-pixel picture of vertical bands (red 8, green 16, blue 8) an inset of 8 leaves only
  // green. x 40 and 280 sample image x 3.3 and 28.9 without the inset, 9.6 and 22.4 with it:
  // clear of the filtered band edges either way.
  const FileBesideExecutable bandsFile(u"vela_texture_bands.png", Png(32, 32, [](std::uint32_t x, std::uint32_t) {
                                         return x < 8 ? kRed : x < 24 ? kGreen : kBlue;
                                       }));
  const std::uint32_t bands = Load(bandsFile.Name());
  ASSERT_NE(bands, 0u);
  const auto drawWithInset = [&](float inset) {
    return Show([&] {
      host.ClearStack();
      host.PushFloat(inset);
      EXPECT_EQ(Call("SetOffsetUV"), 4);
      host.ClearStack();
      host.PushWord(bands).PushRect(10, 10, 300, 100).PushRect(0, 0, 32, 32);
      EXPECT_EQ(Call("TextureDraw"), 36);
    });
  };
  const CapturedImage whole = drawWithInset(0);
  EXPECT_PIXEL(whole, 40, 60, kRed, kTolerance);
  EXPECT_PIXEL(whole, 160, 60, kGreen, kTolerance);
  EXPECT_PIXEL(whole, 280, 60, kBlue, kTolerance);
  const CapturedImage inset = drawWithInset(8);
  EXPECT_PIXEL(inset, 40, 60, kGreen, kTolerance);
  EXPECT_PIXEL(inset, 160, 60, kGreen, kTolerance);
  EXPECT_PIXEL(inset, 280, 60, kGreen, kTolerance);
  Release(bands);
}

TEST_F(TextureExportsWindow, AMissingFileWritesZeroAndNothingToTheLogWhileNoImageLogsWhy) {
  LogSettingsFile settings(L"vela_texture_exports_log.html", L"Vela texture log");
  const FileBesideExecutable junk(u"vela_texture_junk.png", std::string(64, 'Z'));
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  EXPECT_EQ(Load(u"vela_no_such_texture.png"), 0u);
  EXPECT_EQ(Load(junk.Name()), 0u);
  frame.Finish();

  const std::string log = ReadWholeFile(settings.LogPath());
  EXPECT_EQ(log.find("VELA_NO_SUCH_TEXTURE"), std::string::npos);
  EXPECT_EQ(log.find("vela_no_such_texture"), std::string::npos);
  EXPECT_NE(log.find(AsLogBytes("<B><FONT color=\"BLUE\">CTexture::CreateFromFile</FONT></B> : [ vela_texture_junk.png ] : ")),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(AsLogBytes("<B><FONT color=\"RED\">ファイルの読み込みに失敗しました [ ")), std::string::npos);
  EXPECT_NE(log.find(AsLogBytes("<B><FONT color=\"RED\">画像データの展開に失敗</FONT></B> : ")), std::string::npos)
      << log;
}

}  // namespace
