// A boot with service flag 1 on a system without DirectInput 8. This executable runs with
// dinput8.dll disabled (Wine's DLL override, set by the test definition), so the input service
// cannot make its DirectInput object: the boot shows its box and ends the application, while a
// boot without flag 1 never asks for DirectInput.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/host/app_frame_support.h"

namespace {

using vela::host::MessageBoxCapture;
using vela::test::AppFrame;
using vela::test::AsLogBytes;
using vela::test::LogSettingsFile;
using vela::test::ReadWholeFile;

TEST(FailedInputStart, WithoutDirectInputShowsTheBoxAndClosesTheWindow) {
  ASSERT_EQ(LoadLibraryW(L"dinput8.dll"), nullptr) << "run this test with dinput8.dll disabled";
  MessageBoxCapture boxes;
  LogSettingsFile settings(L"vela_failed_input_log.html", L"failed input");
  {
    AppFrame frame(u"Vela failed input test");
    EXPECT_TRUE(frame.Init(1, 320, 240));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption + L": " + boxes.Boxes()[0].text, L"ERROR: 入力デバイスクラスの初期化の初期化に失敗");
    EXPECT_EQ(boxes.Boxes()[0].type, static_cast<unsigned>(MB_ICONERROR | MB_OK));
    EXPECT_FALSE(frame.WaitMsg()) << "the failed boot closed the window";
    frame.End();
    frame.End();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
  }
  const std::string log = ReadWholeFile(settings.LogPath());
  const char* const kInOrder[] = {"<B><FONT color=\"RED\">　エラー : DirectInputオブジェクトの生成に失敗</FONT></B><BR>\n"
                                  "　　[ DirectX8.1以降をインストールしてください ]<BR>\n",
                                  "VelaInputクラスの解放"};
  std::size_t at = 0;
  for (const char* piece : kInOrder) {
    const std::size_t found = log.find(AsLogBytes(piece), at);
    ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << piece;
    at = found;
  }
  EXPECT_EQ(log.find(AsLogBytes("アプリケーション開始")), std::string::npos);
  EXPECT_EQ(log.find(AsLogBytes("キーボード用デバイスの解放")), std::string::npos);
}

TEST(FailedInputStart, WithoutServiceFlagOneTheBootNeedsNoDirectInput) {
  MessageBoxCapture boxes;
  AppFrame frame(u"Vela no input test");
  ASSERT_TRUE(frame.Init(0, 320, 240));
  EXPECT_TRUE(frame.WaitMsg());
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
