// The surface exports of the real DLL: a picture stretched over the back buffer, both kinds of
// HostRef, and the log of a picture loaded, a missing file (nothing) and unreadable files.
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

  std::uint32_t LoadSurface(const std::u16string& name, bool absoluteRef = false) {
    return Load(name, 0, "SurfaceLoad", absoluteRef);
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
  const std::uint32_t first = LoadSurface(picture.Name());
  const std::uint32_t second = LoadSurface(picture.Name(), true);
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
  EXPECT_EQ(LoadSurface(u"vela_no_such_picture.png"), 0u);
  EXPECT_EQ(ReadWholeFile(settings.LogPath()), beforeLoads) << "a missing file leaves no trace";
  EXPECT_NE(LoadSurface(picture.Name()), 0u);
  EXPECT_EQ(LoadSurface(notAnImage.Name()), 0u);
  EXPECT_EQ(LoadSurface(empty.Name()), 0u);
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
