// SurfaceLoad, SurfaceCopyToBG and SurfaceRelease of the real DLL as the host calls them: a
// picture file beside the executable loaded by its relative name, stretched over an 800 x 600
// back buffer and read back from the screen; handles written through both kinds of HostRef;
// and the log of a picture loaded, a missing file (nothing) and files that cannot be read.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

// A 640 x 480 picture stretched over the whole 800 x 600 back buffer. The same file loaded twice
// is two surfaces: releasing one leaves the other.
TEST_F(SurfaceExports, APictureIsStretchedOverTheBackBufferAndEachLoadIsASurfaceOfItsOwn) {
  const FileBesideExecutable picture(u"vela_surface_picture.png", QuadrantPng(640, 480));
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const std::uint32_t first = Load(picture.Name());
  const std::uint32_t second = Load(picture.Name(), true);
  ASSERT_TRUE(first != 0 && second != 0 && first != second);
  CallWithHandle("SurfaceRelease", first);
  const CapturedImage shown = ShowSurface(second);
  ASSERT_EQ(shown.width, kWidth);
  ASSERT_EQ(shown.height, kHeight);
  EXPECT_EQ(CountWrongQuadrantPixels(shown), 0);
  CallWithHandle("SurfaceRelease", second);

  // Handle 0 copies nothing: the frame stays grey.
  const CapturedImage nothing = ShowSurface(0);
  EXPECT_EQ(nothing.At(100, 100), kGrey);
  EXPECT_EQ(nothing.At(700, 500), kGrey);
}

TEST_F(SurfaceExports, TheLogNamesALoadedPictureAndFilesThatCannotBeReadButNotAMissingOne) {
  const FileBesideExecutable picture(u"vela_surface_logged.png", QuadrantPng(64, 48));
  const FileBesideExecutable notAnImage(u"vela_surface_junk.png", std::string(64, 'Z'));
  const FileBesideExecutable empty(u"vela_surface_empty.png", std::string());
  const LogSettingsFile settings(L"vela_surface_log.html", L"surfaces");
  ASSERT_TRUE(frame.Init(0, kWidth, kHeight));
  const std::string beforeLoads = ReadWholeFile(settings.LogPath());
  EXPECT_EQ(Load(u"vela_no_such_picture.png"), 0u);
  EXPECT_EQ(ReadWholeFile(settings.LogPath()), beforeLoads) << "a missing file leaves no trace";
  EXPECT_NE(Load(picture.Name()), 0u);
  EXPECT_EQ(Load(notAnImage.Name()), 0u);
  EXPECT_EQ(Load(empty.Name()), 0u);
  frame.Finish();

  const std::string log = ReadWholeFile(settings.LogPath());
  const std::string blue = "<B><FONT color=\"BLUE\">CSurface::CreateFromFile</FONT></B>";
  const std::string destruct = "<B><FONT color=\"RED\">CSurface Destruct []</FONT></B><BR>\n";
  for (const std::string& expected : {
           blue + "[ 64 x 48 ] : [ X8R8G8B8 ] : <B><FONT color=\"GREEN\">Success!</FONT></B><BR>\n",
           // The codec's result for bytes that are no image, as the error table words it.
           blue + "<B><FONT color=\"RED\">ファイルの読み込みに失敗しました [ ",
           " ]</FONT></B><BR>\n" + destruct,
           blue + "<B><FONT color=\"RED\">ファイルがみつかりません</FONT></B> : " + destruct,
       }) {
    EXPECT_NE(log.find(AsLogBytes(expected)), std::string::npos) << expected << "\nin\n" << FromLogBytes(log);
  }
}

}  // namespace
