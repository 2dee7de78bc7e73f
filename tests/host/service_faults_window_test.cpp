// Faults inside a service's start that the real DLL meets through Init: game controllers that
// fail at each step of their set-up, DirectSound that fails after it was made, and an external
// sound library without one of its entry points. Each is answered with its log lines, the
// library ends without a crash, and every object it was given is handed back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/app_frame_support.h"
#include "tests/support/fake_com.h"

namespace {

using namespace vela::test;
using vela::host::MessageBoxCapture;
using Fails = FakeController::Fails;

constexpr int kInput = 1;
constexpr int kSound = 2;

std::string Red(const std::string& text) { return "<B><FONT color=\"RED\">" + text + "</FONT></B><BR>\n"; }
std::string Plain(const std::string& text) { return text + "<BR>\n"; }

class ServiceFaults : public ::testing::Test {
 protected:
  // Init with `flags` while CoCreateInstance of `clsid` answers `made`; `whileRunning` after the
  // first frame (or after the failed boot); then the end. Answers the log.
  template <typename WhileRunning>
  std::string Run(int flags, REFCLSID clsid, IUnknown* made, bool boots, WhileRunning whileRunning) {
    ClassOverride madeByTest(clsid, made);
    EXPECT_TRUE(madeByTest.Registered());
    LogSettingsFile settings(L"service_faults_log.html", L"service faults");
    AppFrame frame{u"Vela service faults test"};
    EXPECT_TRUE(frame.Init(flags, 320, 240));
    EXPECT_EQ(frame.WaitMsg(), boots);
    whileRunning();
    frame.Finish();
    EXPECT_EQ(boxes.Boxes().empty(), boots);
    return ReadWholeFile(settings.LogPath());
  }

  static void ExpectInOrder(const std::string& log, const std::vector<std::string>& pieces) {
    std::size_t at = 0;
    for (const std::string& piece : pieces) {
      at = log.find(AsLogBytes(piece), at);
      ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << piece;
    }
  }

  MessageBoxCapture boxes;
};

TEST_F(ServiceFaults, ControllersFailingTheirSetUpAreReleasedAndTheOthersKept) {
  FakeController format{Fails::kDataFormat}, cooperation{Fails::kCooperation}, range{Fails::kAxisRange},
      axes{Fails::kAxisEnumeration}, working{Fails::kNowhere}, unreached{Fails::kNowhere};
  FakeDirectInput input;
  input.controllers = {&format, &cooperation, &range, &axes, &working, nullptr, &unreached};
  const std::string log = Run(kInput, CLSID_DirectInput8, &input, true, [] {});

  EXPECT_EQ(input.offered, 6) << "the controller that could not be made ends the enumeration";
  const std::string product = Plain("　　　Vela test pad");
  ExpectInOrder(log, {Red("　　エラー : キーボードデバイスの生成に失敗"), Plain("　　ジョイスティックデバイスの列挙 [ 6 ]"),
                      Plain("　　　デバイス番号　[ 0 ]"), Plain("　　　エラー : データフォーマットの設定に失敗"),
                      Plain("　　　デバイス番号　[ 1 ]"), Plain("　　　エラー : 協調レベルの設定に失敗"),
                      Plain("　　　デバイス番号　[ 2 ]"), product, Red("　　　軸データ取得に失敗"),
                      Plain("　　　デバイス番号　[ 3 ]"), product, Plain("　　　エラー : 軸の列挙に失敗"),
                      Plain("　　　デバイス番号　[ 4 ]"), product, Plain("　　　1軸 8ボタン 0Pov"),
                      Plain("　　　ForceFeedback　[ NO ]"), Plain("　　　Polling　[ YES ]"),
                      Plain("　　　Ｘ軸　　　( -1000 ～ 1000 )"), Plain("　　　スライダ軸"),
                      Plain("　　　デバイス番号　[ 5 ]"), Plain("　　　エラー : デバイスの生成に失敗"),
                      "アプリケーション開始", Plain("ジョイスティック用デバイスの解放 [ 4 ]"),
                      Plain("DirectInputオブジェクトの解放")});
  const std::string released = AsLogBytes("ジョイスティック用デバイスの解放 [ ");
  EXPECT_EQ(log.find(released), log.rfind(released)) << "only the controller that was kept is released at the end";
  const FakeController* all[] = {&format, &cooperation, &range, &axes, &working, &unreached};
  for (int index = 0; index < 6; ++index) EXPECT_EQ(all[index]->refs, 0) << "controller " << index;
  EXPECT_EQ(input.refs, 0);
}

TEST_F(ServiceFaults, AFailedControllerEnumerationReleasesWhatItMade) {
  FakeController made{Fails::kNowhere};
  FakeDirectInput input;
  input.controllers = {&made};
  input.enumeration = DIERR_GENERIC;
  const std::string log = Run(kInput, CLSID_DirectInput8, &input, true, [&] { EXPECT_EQ(made.refs, 0); });
  ExpectInOrder(log, {Plain("　　エラー : ジョイスティックデバイスの列挙に失敗"), "アプリケーション開始"});
  EXPECT_EQ(log.find(AsLogBytes("デバイス番号")), std::string::npos);
  EXPECT_EQ(input.refs, 0);
}

// DirectSound made and initialised, then failing further on: the start ends with the sound box, and the stop
// releases DirectSound.
struct SoundFault {
  const char* name;
  HRESULT priorityLevel, normalLevel, compact;
  std::vector<std::string> log;
};

class SoundStartFaults : public ServiceFaults, public ::testing::WithParamInterface<SoundFault> {};

TEST_P(SoundStartFaults, EndTheBootWithTheSoundBoxAndTheirLogLines) {
  FakeDirectSound sound;
  sound.priorityLevel = GetParam().priorityLevel;
  sound.normalLevel = GetParam().normalLevel;
  sound.compact = GetParam().compact;
  const std::string log = Run(kSound, CLSID_DirectSound8, &sound, false, [] {});
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, L"サウンドクラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません");
  std::vector<std::string> pieces = GetParam().log;
  pieces.push_back("VelaSoundクラスの解放");
  ExpectInOrder(log, pieces);
  EXPECT_EQ(log.find(AsLogBytes("DirectSoundデバイスの性能をチェック")), std::string::npos);
  EXPECT_EQ(sound.refs, 0);
}

const std::string kInitialised = Plain("　■ DirectSoundオブジェクトを初期化");
const std::string kNoPrimary = Plain("　エラー : プライマリサウンドバッファの生成に失敗");
const HRESULT kRefused = DSERR_INVALIDPARAM;

INSTANTIATE_TEST_SUITE_P(
    Sound, SoundStartFaults,
    ::testing::Values(
        SoundFault{"NoCooperativeLevel", kRefused, kRefused, S_OK,
                   {kInitialised, Red("　エラー : 協調レベルの設定に失敗")}},
        SoundFault{"NormalLevelOnly", kRefused, S_OK, S_OK,
                   {kInitialised, Plain("　■ 協調レベルを 通常レベル に設定"), kNoPrimary}},
        SoundFault{"NoCompaction", S_OK, S_OK, kRefused,
                   {kInitialised, Plain("　■ 協調レベルを 優先レベル に設定"), Red("　エラー : メモリのコンパクションに失敗"),
                    kNoPrimary}}),
    [](const ::testing::TestParamInfo<SoundFault>& row) { return std::string(row.param.name); });

// Without one of its five entry points the external sound library is never initialised, yet it
// is uninitialised and freed with the sound service.
TEST_F(ServiceFaults, AnExternalSoundLibraryWithoutAnEntryPointIsLeftUninitialised) {
  const std::wstring library = ExecutableFolder() + L"Odrel.dll";
  ASSERT_TRUE(CopyFileW((ExecutableFolder() + L"odrel_incomplete_stand_in.dll").c_str(), library.c_str(), FALSE));
  SetEnvironmentVariableA("ODREL_CALLS", nullptr);
  LogSettingsFile settings(L"service_faults_log.html", L"service faults");
  {
    AppFrame frame{u"Vela service faults test"};
    ASSERT_TRUE(frame.Init(kSound, 320, 240));
    EXPECT_NE(GetModuleHandleW(L"Odrel.dll"), nullptr) << "the library stays loaded";
    EXPECT_TRUE(frame.WaitMsg());
    frame.Finish();
  }
  EXPECT_EQ(GetModuleHandleW(L"Odrel.dll"), nullptr);
  char calls[256] = {};
  GetEnvironmentVariableA("ODREL_CALLS", calls, sizeof calls);
  EXPECT_STREQ(calls, "Uninitialize");
  EXPECT_TRUE(DeleteFileW(library.c_str()));
  EXPECT_TRUE(boxes.Boxes().empty());
  ExpectInOrder(ReadWholeFile(settings.LogPath()), {"アプリケーション開始", "VelaSoundクラスの解放"});
}

}  // namespace
