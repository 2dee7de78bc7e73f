// Every start-up failure a user can meet, one row each: the boxes shown, the cause's log lines in
// order, and a clean end after which the same flags boot. The frame runs in this process, so the
// boot's test switch reaches starts that nothing on the machine can fail.

#include <windows.h>

#include <dmusici.h>

#include <optional>

#include "app/app_window.h"
#include "app/library_boot.h"
#include "host/message_box_capture.h"
#include "services/vela_media.h"
#include "tests/library/library_window_support.h"
#include "tests/support/fake_com.h"

namespace vela {
namespace {

using namespace test;

constexpr const wchar_t* kTitle = L"Vela boot failure test";
constexpr const wchar_t* kMemoryShort = L"\nメモリの割り当て量が少ないかもしれません";
const std::string kHeadRow = "<FONT color=\"WHITE\">";

// DirectInput that is made but refuses to initialise.
FakeDirectInput& UninitialisableDirectInput() {
  static FakeDirectInput directInput;
  directInput.initialize = DIERR_OLDDIRECTINPUTVERSION;
  return directInput;
}

struct Row {
  const char* name;
  int flags;
  int width, height;         // of the client area: a back buffer too big for memory fails the device
  const char* failingStart;  // through the boot's test switch
  const CLSID* classMade;    // CoCreateInstance of it answers `made`, or fails when that is null
  IUnknown* made;
  bool mediaMemoryShort;
  std::vector<std::wstring> boxes;
  std::vector<std::string> log;  // in this order, markup included
  const char* neverStarted;      // what follows the failed start in the boot
};

const Row kRows[] = {
    {"animation", 0, 320, 240, "animation", nullptr, nullptr, false,
     {std::wstring(L"アニメーションクラスの初期化に失敗") + kMemoryShort, L"DirectXの初期化に失敗"},
     {"Library Version"}, "Vela3Dクラスの起動"},
    {"network", 0, 320, 240, "network", nullptr, nullptr, false,
     {L"ネットワーククラスの初期化に失敗", L"DirectXの初期化に失敗"}, {"Library Version"}, "Vela3Dクラスの起動"},
    {"device", 8, 30000, 30000, nullptr, nullptr, nullptr, false, {L"３Ｄシステムの起動に失敗"},
     {"Vela3Dクラスの起動", Bold("　Direct3Dデバイスの生成"), "<B><FONT color=\"RED\">　　　エラー：デバイスの作成に失敗 [ "},
     "VelaMediaクラスの初期化"},
    {"media", 8 | 2, 320, 240, nullptr, nullptr, nullptr, true, {std::wstring(L"メディアクラスの初期化に失敗") + kMemoryShort},
     {"VelaMediaクラスの初期化", Bold("メディア用メモリ確保"), Red("　　　メディア用メモリの確保に失敗"),
      "VelaMediaクラスの解放"},
     "VelaSoundクラスの初期化"},
    {"video_renderer", 8 | 2, 320, 240, "CVMR9", nullptr, nullptr, false,
     {std::wstring(L"ビデオレンダラークラスの初期化に失敗") + kMemoryShort},
     {"VelaMediaクラスの初期化", "VelaMediaクラスの解放"}, "VelaSoundクラスの初期化"},
    {"sound", 8 | 2 | 4, 320, 240, nullptr, &CLSID_DirectSound8, nullptr, false,
     {std::wstring(L"サウンドクラスの初期化に失敗") + kMemoryShort},
     {"VelaMediaクラスの初期化", "VelaSoundクラスの初期化", Bold("サウンド用メモリ確保"),
      Red("　エラー : DirectSound8オブジェクトの生成に失敗"), "VelaSoundクラスの解放"},
     "VelaMusicクラスの初期化"},
    {"music", 4 | 1, 320, 240, nullptr, &CLSID_DirectMusicPerformance, nullptr, false,
     {std::wstring(L"ミュージッククラスの初期化に失敗") + kMemoryShort},
     {"VelaMusicクラスの初期化", Bold("ミュージック用メモリ確保"), Red("　エラー : DirectMusicLoaderの生成に失敗"),
      "VelaMusicクラスの解放"},
     "VelaInputクラスの初期化"},
    {"input_object", 1, 320, 240, nullptr, &CLSID_DirectInput8, nullptr, false, {L"入力デバイスクラスの初期化の初期化に失敗"},
     {Red("　エラー : DirectInputオブジェクトの生成に失敗") + Plain("　　[ DirectX8.1以降をインストールしてください ]"),
      "VelaInputクラスの解放"},
     "キーボード"},
    {"input", 1, 320, 240, nullptr, &CLSID_DirectInput8, &UninitialisableDirectInput(), false,
     {L"入力デバイスクラスの初期化の初期化に失敗"},
     {Bold("　DirectInputオブジェクトを生成"), Plain("　エラー : DirectInputオブジェクトの初期化に失敗"),
      "VelaInputクラスの解放", Plain("DirectInputオブジェクトの解放")},
     "キーボードデバイス"},
};

class BootFailure : public ::testing::TestWithParam<Row> {
 protected:
  void TearDown() override {
    if (HWND window = FindWindowW(kTitle, kTitle)) PostMessageW(window, WM_CLOSE, 0, 0);
    for (int frame = 0; frame < 100 && WaitFrame(); ++frame) {
    }
    EndApplication();
  }
};

TEST_P(BootFailure, ShowsItsBoxesLogsTheCauseAndEndsCleanly) {
  const Row& row = GetParam();
  host::MessageBoxCapture boxes;
  std::string log;
  {
    LogCapture logged;
    std::optional<ClassOverride> classOverride;
    EXPECT_TRUE(!row.classMade || classOverride.emplace(*row.classMade, row.made).Registered());
    FailServiceStartForTesting(row.failingStart);
    if (row.mediaMemoryShort) VelaMedia::SetRecordCount(0x7FFFFFFF);
    EXPECT_TRUE(CreateAppWindow(kTitle, row.flags, row.width, row.height)) << "the window exists; the boot in it failed";
    EXPECT_FALSE(WaitFrame()) << "the failed boot closed the window";
    EXPECT_EQ(FindWindowW(kTitle, kTitle), nullptr);
    EndApplication();
    EndApplication();
    log = logged.Bytes();
    FailServiceStartForTesting(nullptr);
    VelaMedia::SetRecordCount(64);
  }
  ASSERT_EQ(boxes.Boxes().size(), row.boxes.size());
  for (std::size_t i = 0; i < row.boxes.size(); ++i) {
    EXPECT_EQ(boxes.Boxes()[i].text, row.boxes[i]) << "box " << i;
    EXPECT_EQ(boxes.Boxes()[i].caption, L"ERROR") << "box " << i;
    EXPECT_EQ(boxes.Boxes()[i].type, static_cast<unsigned>(MB_ICONERROR | MB_OK)) << "box " << i;
  }
  ExpectInOrder(log, row.log);
  EXPECT_EQ(log.find(AsLogBytes(row.neverStarted)), std::string::npos);
  EXPECT_EQ(log.find(AsLogBytes("アプリケーション開始")), std::string::npos);
  EXPECT_EQ(UninitialisableDirectInput().refs, 0) << "the shutdown released DirectInput";

  // Nothing fails any more: the same flags boot.
  ASSERT_TRUE(CreateAppWindow(kTitle, row.flags, 320, 240));
  EXPECT_TRUE(WaitFrame());
  EXPECT_EQ(boxes.Boxes().size(), row.boxes.size());
}

INSTANTIATE_TEST_SUITE_P(EachStart, BootFailure, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vela
