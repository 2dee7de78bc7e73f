// SurfaceLoad, SurfaceCopyToBG and SurfaceRelease of the real DLL as the host calls them: a
// picture file beside the executable loaded by its relative name, stretched over an 800 x 600
// back buffer and read back from the screen; handles written through both kinds of HostRef;
// and the log of a missing file (nothing) and of a file that is not an image.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::CapturedImage;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr std::uint32_t kGrey = 0x808080;

class SurfaceExports : public PluginWindowTest {
 protected:
  SurfaceExports() : PluginWindowTest(u"Vela surface test") {}

  // SurfaceLoad through host variable 0 (relative or absolute reference); answers the handle.
  std::uint32_t Load(const std::u16string& name, bool absoluteRef = false) {
    host.SetVariable(0, 0x5A5A5A5A);
    host.ClearStack();
    host.PushWord(absoluteRef ? host.AbsoluteRef(0) : host.RelativeRef(0)).PushString(host.MakeString(name));
    EXPECT_EQ(Call("SurfaceLoad"), 16);
    return static_cast<std::uint32_t>(host.Variable(0));
  }

  // Frames that clear to grey and copy `handle` over the back buffer, then what the screen shows.
  CapturedImage ShowSurface(std::uint32_t handle) {
    return Show(kGrey, [&] { CallWithHandle("SurfaceCopyToBG", handle); });
  }
};

TEST_F(SurfaceExports, A640By480PictureIsStretchedOverTheWhole800By600BackBuffer) {
  const FileBesideExecutable picture(u"vela_surface_picture.png", QuadrantPng(640, 480));
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
  const FileBesideExecutable picture(u"vela_surface_twice.png", QuadrantPng(64, 48));
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
  const FileBesideExecutable notAnImage(u"vela_surface_junk.png", std::string_view(junk, sizeof junk));
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
