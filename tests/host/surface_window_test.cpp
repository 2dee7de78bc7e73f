// SurfaceLoad, SurfaceCopyToBG and SurfaceRelease of the real DLL as the host calls them: a
// picture file beside the executable loaded by its relative name, stretched over an 800 x 600
// back buffer and read back from the screen; handles written through both kinds of HostRef;
// and the log of a missing file (nothing) and of a file that is not an image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/window_capture.h"
#include "imagecodec/imagecodec.h"
#include "tests/host/app_frame_support.h"

namespace {

using vela::host::CapturedImage;
using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::AsLogBytes;
using vela::test::ExecutableFolder;
using vela::test::LogSettingsFile;
using vela::test::ReadWholeFile;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080;

// A `width` x `height` PNG of four quadrants: red, green / blue, white.
std::vector<std::uint8_t> QuadrantPng(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint32_t> argb(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      const bool right = x >= width / 2;
      argb[std::size_t{y} * width + x] =
          0xFF000000 | (y < height / 2 ? (right ? kGreen : kRed) : (right ? kWhite : kBlue));
    }
  }
  const vela::codec::ConstSurfaceView view(vela::codec::PixelFormat::kA8R8G8B8, width, height, width * 4,
                                           reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  EXPECT_EQ(vela::codec::SaveToMemory(vela::codec::FileFormat::kPng, view, png), vela::codec::Result::kOk);
  return png;
}

// A file beside the executable for the life of the object, named relative to that folder.
class FileBesideExecutable {
 public:
  FileBesideExecutable(std::u16string name, const void* bytes, std::size_t size)
      : name_(std::move(name)), path_(ExecutableFolder() + std::wstring(name_.begin(), name_.end())) {
    const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
  }
  ~FileBesideExecutable() { DeleteFileW(path_.c_str()); }
  const std::u16string& Name() const { return name_; }

 private:
  std::u16string name_;
  std::wstring path_;
};

int CountWrongQuadrantPixels(const CapturedImage& image) {
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const bool right = x >= image.width / 2;
      const std::uint32_t expected = y < image.height / 2 ? (right ? kGreen : kRed) : (right ? kWhite : kBlue);
      if (image.At(x, y) != expected && wrong++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << image.At(x, y) << ", expected 0x"
                      << expected;
      }
    }
  }
  return wrong;
}

class SurfaceExports : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin.Loaded()) << "velaplugin.dll did not load";
    ASSERT_TRUE(boxes.Installed());
  }
  void TearDown() override {
    frame.Finish();
    EXPECT_TRUE(boxes.Boxes().empty()) << "a message box was shown: " << boxes.Boxes().size();
  }

  std::int32_t Call(const char* name) {
    const auto function = plugin.Find(name);
    EXPECT_NE(function, nullptr) << name;
    return function ? host.Call(function) : 0x7FFFFFFF;
  }

  // SurfaceLoad through host variable 0 (relative or absolute reference); answers the handle.
  std::uint32_t Load(const std::u16string& name, bool absoluteRef = false) {
    host.SetVariable(0, 0x5A5A5A5A);
    host.ClearStack();
    host.PushWord(absoluteRef ? host.AbsoluteRef(0) : host.RelativeRef(0)).PushString(host.MakeString(name));
    EXPECT_EQ(Call("SurfaceLoad"), 16);
    return static_cast<std::uint32_t>(host.Variable(0));
  }

  void CallWithHandle(const char* name, std::uint32_t handle) {
    host.ClearStack();
    host.PushWord(handle);
    EXPECT_EQ(Call(name), 4) << name;
  }

  // Frames that clear to grey and copy `handle` over the back buffer, then what the screen shows.
  CapturedImage ShowSurface(std::uint32_t handle) {
    for (int repeat = 0; repeat < 3; ++repeat) {
      EXPECT_TRUE(frame.WaitMsg());
      host.ClearStack();
      EXPECT_EQ(Call("BeginScene"), -1);
      host.ClearStack();
      host.PushInt(static_cast<std::int32_t>(0xFF000000 | kGrey));
      EXPECT_EQ(Call("Clear"), 4);
      CallWithHandle("SurfaceCopyToBG", handle);
      host.ClearStack();
      EXPECT_EQ(Call("EndScene"), 0);
      EXPECT_EQ(Call("Refresh"), 0);
      vela::host::PumpMessagesFor(50);
    }
    return vela::host::CaptureClientArea(frame.Window());
  }

  MessageBoxCapture boxes;
  AppFrame frame{u"Vela surface test"};
  vela::host::PluginModule plugin;
  vela::host::ScriptHost host;
};

TEST_F(SurfaceExports, A640By480PictureIsStretchedOverTheWhole800By600BackBuffer) {
  const std::vector<std::uint8_t> png = QuadrantPng(640, 480);
  const FileBesideExecutable picture(u"vela_surface_picture.png", png.data(), png.size());
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const std::uint32_t handle = Load(picture.Name());
  ASSERT_NE(handle, 0u);
  ASSERT_LT(handle, 0x80000000u);
  const CapturedImage shown = ShowSurface(handle);
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);
  EXPECT_EQ(CountWrongQuadrantPixels(shown), 0);

  // Handle 0 copies nothing: the frame stays grey.
  const CapturedImage nothing = ShowSurface(0);
  ASSERT_FALSE(nothing.Empty());
  EXPECT_EQ(nothing.At(100, 100), kGrey);
  EXPECT_EQ(nothing.At(700, 500), kGrey);
}

TEST_F(SurfaceExports, TheSameFileTwiceGivesTwoHandlesAndReleasingOneLeavesTheOther) {
  const std::vector<std::uint8_t> png = QuadrantPng(64, 48);
  const FileBesideExecutable picture(u"vela_surface_twice.png", png.data(), png.size());
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const std::uint32_t first = Load(picture.Name());
  const std::uint32_t second = Load(picture.Name(), true);
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u);
  EXPECT_NE(first, second) << "surfaces are never shared";
  CallWithHandle("SurfaceRelease", first);
  EXPECT_EQ(CountWrongQuadrantPixels(ShowSurface(second)), 0);
  CallWithHandle("SurfaceRelease", second);
  CallWithHandle("SurfaceRelease", 0);  // nothing
}

TEST_F(SurfaceExports, AMissingFileAnswersZeroSilentlyAndOneThatIsNoImageLogsWhyAndItsEnd) {
  const char junk[] = "no picture in here";
  const FileBesideExecutable notAnImage(u"vela_surface_junk.png", junk, sizeof junk);
  const LogSettingsFile settings(L"vela_surface_log.html", L"surfaces");
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const std::string beforeLoads = ReadWholeFile(settings.LogPath());

  EXPECT_EQ(Load(u"vela_no_such_picture.png"), 0u);
  EXPECT_EQ(Load(u"vela_no_such_picture.png", true), 0u);
  EXPECT_EQ(ReadWholeFile(settings.LogPath()), beforeLoads) << "a missing file leaves no trace";

  EXPECT_EQ(Load(notAnImage.Name()), 0u);
  frame.Finish();
  const std::string log = ReadWholeFile(settings.LogPath());
  // D3DXERR_INVALIDDATA's text, as the error table words it.
  const std::string expected = AsLogBytes(
      "<B><FONT color=\"BLUE\">CSurface::CreateFromFile</FONT></B>"
      "<B><FONT color=\"RED\">ファイルの読み込みに失敗しました [ ");
  const std::string destruct = AsLogBytes(" ]</FONT></B><BR>\n<B><FONT color=\"RED\">CSurface Destruct []</FONT></B><BR>\n");
  const std::size_t at = log.find(expected);
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_NE(log.find(destruct, at), std::string::npos) << log.substr(at);
}

}  // namespace
