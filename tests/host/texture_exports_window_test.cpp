// TextureLoad, TextureDraw, TextureDrawRotate, TextureRelease and SetOffsetUV of the real DLL,
// called through the host harness: the byte counts, the handle written through the HostRef,
// sharing by file, the pictures as they reach the screen, and what the log says of a missing
// file and of a file that is no image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/png_file.h"
#include "host/window_capture.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::AsLogBytes;
using vela::test::ExecutableFolder;
using vela::test::LogSettingsFile;
using vela::test::ReadWholeFile;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBackground = 0x203040;

std::string Narrow(const std::wstring& wide) {
  std::string out(wide.size() * 2, '\0');
  out.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

// A file beside the executable for the life of the object, named relative to it.
class ImageBesideExecutable {
 public:
  ImageBesideExecutable(const std::string& name, const CapturedImage& image)
      : name_(name), path_(Narrow(ExecutableFolder()) + name) {
    EXPECT_TRUE(vela::host::WritePngFile(image, path_));
  }
  ImageBesideExecutable(const std::string& name, const std::string& bytes)
      : name_(name), path_(Narrow(ExecutableFolder()) + name) {
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  ~ImageBesideExecutable() { DeleteFileA(path_.c_str()); }
  std::u16string Name() const { return std::u16string(name_.begin(), name_.end()); }

 private:
  std::string name_;
  std::string path_;
};

// 100 x 50 in four quadrants: red, green / blue, white.
CapturedImage Quadrants() {
  CapturedImage image;
  image.width = 100;
  image.height = 50;
  image.pixels.resize(100 * 50);
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 100; ++x) image.pixels[y * 100 + x] = y < 25 ? (x < 50 ? kRed : kGreen) : (x < 50 ? kBlue : kWhite);
  }
  return image;
}

bool Near(std::uint32_t actual, std::uint32_t expected) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (a - e > 8 || e - a > 8) return false;
  }
  return true;
}

class TextureExportsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frame.Loaded()) << "velaplugin.dll did not load";
    ASSERT_TRUE(boxes.Installed());
  }
  void TearDown() override {
    frame.Finish();
    EXPECT_TRUE(boxes.Boxes().empty()) << "a message box was shown";
  }

  std::int32_t Call(const char* name) {
    const auto function = plugin.Find(name);
    EXPECT_NE(function, nullptr) << name;
    return function ? host.Call(function) : 0x7FFFFFFF;
  }

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

  void Release(std::uint32_t handle) {
    host.ClearStack();
    host.PushWord(handle);
    EXPECT_EQ(Call("TextureRelease"), 4);
  }

  // The frame drawn a few times (the first presented frame of a new window can be lost under
  // Wine), then read from the screen.
  template <typename DrawContent>
  CapturedImage Show(DrawContent drawContent) {
    for (int repeat = 0; repeat < 3; ++repeat) {
      EXPECT_TRUE(frame.WaitMsg());
      host.ClearStack();
      EXPECT_EQ(Call("BeginScene"), -1);
      host.PopBool();
      host.ClearStack();
      host.PushInt(static_cast<std::int32_t>(0xFF000000 | kBackground));
      EXPECT_EQ(Call("Clear"), 4);
      drawContent();
      host.ClearStack();
      EXPECT_EQ(Call("EndScene"), 0);
      EXPECT_EQ(Call("Refresh"), 0);
      vela::host::PumpMessagesFor(50);
    }
    return vela::host::CaptureClientArea(frame.Window());
  }

  MessageBoxCapture boxes;
  AppFrame frame{u"Vela texture exports test"};
  vela::host::PluginModule plugin;
  vela::host::ScriptHost host;
};

TEST_F(TextureExportsWindow, ALoadedPictureIsDrawnTurnedSharedAndReleased) {
  const ImageBesideExecutable file("vela_texture_exports.png", Quadrants());
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));

  const std::uint32_t handle = Load(file.Name());
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(Load(file.Name(), 1), handle) << "the same file answers the same texture";

  const CapturedImage drawn = Show([&] { Draw(handle, 10, 20, 100, 50); });
  ASSERT_FALSE(drawn.Empty());
  EXPECT_PRED2(Near, drawn.At(35, 32), kRed);
  EXPECT_PRED2(Near, drawn.At(85, 32), kGreen);
  EXPECT_PRED2(Near, drawn.At(35, 57), kBlue);
  EXPECT_PRED2(Near, drawn.At(85, 57), kWhite);
  EXPECT_EQ(drawn.At(9, 40), kBackground);
  EXPECT_EQ(drawn.At(110, 40), kBackground);
  EXPECT_EQ(drawn.At(50, 19), kBackground);
  EXPECT_EQ(drawn.At(50, 70), kBackground);

  const CapturedImage turned = Show([&] { DrawRotate(handle, 16384); });
  EXPECT_PRED2(Near, turned.At(72, 20), kRed) << "a quarter turn clockwise about (60, 45)";
  EXPECT_PRED2(Near, turned.At(48, 70), kWhite);
  EXPECT_EQ(turned.At(20, 45), kBackground);

  host.ClearStack();
  host.PushFloat(0.5f);
  EXPECT_EQ(Call("SetOffsetUV"), 4);

  Release(handle);
  const CapturedImage still = Show([&] { Draw(handle, 10, 20, 100, 50); });
  EXPECT_PRED2(Near, still.At(35, 32), kRed) << "one reference is left";
  Release(handle);
  Release(0);
}

TEST_F(TextureExportsWindow, AMissingFileWritesZeroAndNothingToTheLogWhileNoImageLogsWhy) {
  LogSettingsFile settings(L"vela_texture_exports_log.html", L"Vela texture log");
  const ImageBesideExecutable junk("vela_texture_junk.png", std::string(64, 'Z'));
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
