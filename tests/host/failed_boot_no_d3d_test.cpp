// A boot on a system without Direct3D 9. This executable runs with d3d9.dll disabled (Wine's
// DLL override, set by the test definition), so Vela3D cannot initialise.
#include <windows.h>

#include <gtest/gtest.h>

#include <iterator>

#include "tests/host/app_frame_support.h"

namespace {

using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::AsLogBytes;
using vela::test::FromLogBytes;
using vela::test::LogSettingsFile;
using vela::test::ReadWholeFile;

TEST(FailedBoot, WithoutDirect3DShowsTheBoxesClosesTheWindowAndEndStopsNothingTwice) {
  ASSERT_EQ(LoadLibraryW(L"d3d9.dll"), nullptr) << "run this test with d3d9.dll disabled";
  MessageBoxCapture boxes;
  LogSettingsFile settings(L"vela_failed_boot_log.html", L"failed boot");
  AppFrame frame(u"Vela failed boot test");

  EXPECT_TRUE(frame.Init(0, 320, 240)) << "the window is created whatever the boot does";
  // Vela3D explains first in boxes of its own; the boot's box comes last.
  const struct {
    const wchar_t* caption;
    const wchar_t* text;
    unsigned type;
  } expected[] = {
      {L"Vela3D", L"DLLの読み込みに失敗\nDirectX9cが正しくインストールされているか\n確認して下さい", MB_ICONERROR},
      {L"Vela3D", L"アダプターの初期化に失敗", MB_ICONERROR},
      {L"ERROR", L"３Ｄシステムの初期化に失敗", MB_ICONERROR | MB_OK},
  };
  ASSERT_EQ(boxes.Boxes().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& box = boxes.Boxes()[i];
    EXPECT_TRUE(box.caption == expected[i].caption && box.text == expected[i].text && box.type == expected[i].type)
        << "box " << i;
  }

  // The shutdown after the failure closed the log.
  const std::string closed = ReadWholeFile(settings.LogPath());
  const std::string footer = AsLogBytes("</BODY>\n</HTML>\n");
  EXPECT_EQ(closed.find(footer), closed.size() - footer.size());
  EXPECT_NE(closed.find(AsLogBytes("<B><FONT color=\"RED\">　　　エラー : DLLの読み込みに失敗</FONT></B><BR>\n")), std::string::npos)
      << FromLogBytes(closed);
  EXPECT_EQ(closed.find(AsLogBytes("アプリケーション開始")), std::string::npos);
  EXPECT_EQ(closed.find(AsLogBytes("Library Version")), std::string::npos);

  const std::size_t shown = boxes.Boxes().size();
  EXPECT_FALSE(frame.WaitMsg()) << "the failed boot closed the window";
  EXPECT_EQ(frame.Window(), nullptr);
  frame.End();
  frame.End();
  EXPECT_EQ(boxes.Boxes().size(), shown);
  EXPECT_EQ(ReadWholeFile(settings.LogPath()), closed) << "End leaves the closed log alone";
}

}  // namespace
