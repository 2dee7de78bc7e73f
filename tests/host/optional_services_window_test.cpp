// The services Init's flags select, started and stopped in order, and the faults met inside a
// start (controllers, DirectSound, the external sound library): each answered with its log lines,
// the library ends without a crash, and every object it was given is handed back.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "tests/host/app_frame_support.h"
#include "tests/support/fake_com.h"

namespace {

using namespace vela::test;
using vela::host::MessageBoxCapture;
using Fails = FakeController::Fails;

constexpr int kInput = 1;
constexpr int kSound = 2;
constexpr int kMusic = 4;
constexpr int kMedia = 8;
constexpr int kCdAudio = 16;

class OptionalServices : public ::testing::Test {
 protected:
  // Init with `flags`, a frame (false when the boot failed), `whileRunning`, the end; answers
  // the log's bytes.
  std::string BootAndEnd(int flags, bool boots = true, const std::function<void()>& whileRunning = [] {}) {
    LogSettingsFile settings(L"optional_services_log.html", L"services");
    AppFrame frame{u"Vela optional services test"};
    EXPECT_TRUE(frame.Init(flags, 320, 240)) << "the window exists whatever the boot does";
    EXPECT_EQ(frame.WaitMsg(), boots);
    whileRunning();
    frame.Finish();
    EXPECT_EQ(boxes.Boxes().empty(), boots);
    return ReadWholeFile(settings.LogPath());
  }

  static bool Contains(const std::string& log, const std::string& piece) {
    return log.find(AsLogBytes(piece)) != std::string::npos;
  }

  MessageBoxCapture boxes;
};

TEST_F(OptionalServices, AllFlagsStartInBootOrderAndStopInShutdownOrder) {
  const std::string log = BootAndEnd(kSound | kMusic | kMedia | kCdAudio);
  // The boot starts media, sound and music; the shutdown stops music (which shares the sound
  // service's DirectSound), sound and media.
  const std::vector<std::string> order = {
      "VelaMediaクラスの初期化", "メディア用メモリ確保", "VelaSoundクラスの初期化", "サウンド用メモリ確保",
      "　■ DirectSound8オブジェクトを生成", "　■ DirectSoundオブジェクトを取得", "　■ DirectSoundオブジェクトを初期化",
      "　■ 協調レベルを", "　■ プライマリサウンドバッファを生成", "　■ DirectSoundデバイスの性能をチェック",
      "VelaMusicクラスの初期化", "ミュージック用メモリ確保", "　■ DirectMusicオブジェクトを生成", "アプリケーション開始",
      "VelaMusicクラスの解放", "　■ DirectSoundを解体", "　■ DirectMusicLoaderを解体", "VelaSoundクラスの解放",
      "VelaMediaクラスの解放"};
  ExpectInOrder(log, order);
  for (const std::string& piece : order) {
    EXPECT_EQ(log.find(AsLogBytes(piece)), log.rfind(AsLogBytes(piece))) << "written twice: " << piece;
  }
  EXPECT_FALSE(Contains(log, "　■ DirectMusicを解体")) << "the start leaves that interface null";
  EXPECT_FALSE(Contains(log, "Destroy [ No.")) << "no record was in use";
}

TEST_F(OptionalServices, ControllersFailingTheirSetUpAreReleasedAndTheOthersKept) {
  FakeController format{Fails::kDataFormat}, cooperation{Fails::kCooperation}, range{Fails::kAxisRange},
      axes{Fails::kAxisEnumeration}, working{Fails::kNowhere}, unreached{Fails::kNowhere};
  FakeDirectInput input;
  input.controllers = {&format, &cooperation, &range, &axes, &working, nullptr, &unreached};
  ClassOverride made(CLSID_DirectInput8, &input);
  ASSERT_TRUE(made.Registered());
  const std::string log = BootAndEnd(kInput);

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

TEST_F(OptionalServices, AFailedControllerEnumerationReleasesWhatItMade) {
  FakeController controller{Fails::kNowhere};
  FakeDirectInput input;
  input.controllers = {&controller};
  input.enumeration = DIERR_GENERIC;
  ClassOverride made(CLSID_DirectInput8, &input);
  ASSERT_TRUE(made.Registered());
  const std::string log = BootAndEnd(kInput, true, [&] { EXPECT_EQ(controller.refs, 0); });
  ExpectInOrder(log, {Plain("　　エラー : ジョイスティックデバイスの列挙に失敗"), "アプリケーション開始"});
  EXPECT_FALSE(Contains(log, "デバイス番号"));
  EXPECT_EQ(input.refs, 0);
}

// DirectSound made, then failing further on: the start ends with the sound box, and the stop
// releases DirectSound.
struct SoundFault {
  const char* name;
  HRESULT initialize, priorityLevel, normalLevel, compact;
  std::vector<std::string> log;
};

class SoundStartFaults : public OptionalServices, public ::testing::WithParamInterface<SoundFault> {};

TEST_P(SoundStartFaults, EndTheBootWithTheSoundBoxAndTheirLogLines) {
  FakeDirectSound sound;
  const SoundFault& fault = GetParam();
  std::tie(sound.initialize, sound.priorityLevel, sound.normalLevel, sound.compact) =
      std::tie(fault.initialize, fault.priorityLevel, fault.normalLevel, fault.compact);
  ClassOverride made(CLSID_DirectSound8, &sound);
  ASSERT_TRUE(made.Registered());
  const std::string log = BootAndEnd(kSound, false);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, L"サウンドクラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません");
  std::vector<std::string> pieces = GetParam().log;
  pieces.push_back("VelaSoundクラスの解放");
  ExpectInOrder(log, pieces);
  EXPECT_FALSE(Contains(log, "DirectSoundデバイスの性能をチェック"));
  EXPECT_EQ(sound.refs, 0);
}

const std::string kInitialised = Plain("　■ DirectSoundオブジェクトを初期化");
const std::string kNoPrimary = Plain("　エラー : プライマリサウンドバッファの生成に失敗");
const HRESULT kRefused = DSERR_INVALIDPARAM;

INSTANTIATE_TEST_SUITE_P(
    Sound, SoundStartFaults,
    ::testing::Values(
        SoundFault{"NoInitialisation", kRefused, S_OK, S_OK, S_OK,
                   {Plain("　■ DirectSoundオブジェクトを取得"), Red("  エラー : DirectSoundオブジェクトの生成に失敗")}},
        SoundFault{"NoCooperativeLevel", S_OK, kRefused, kRefused, S_OK,
                   {kInitialised, Red("　エラー : 協調レベルの設定に失敗")}},
        SoundFault{"NormalLevelOnly", S_OK, kRefused, S_OK, S_OK,
                   {kInitialised, Plain("　■ 協調レベルを 通常レベル に設定"), kNoPrimary}},
        SoundFault{"NoCompaction", S_OK, S_OK, S_OK, kRefused,
                   {kInitialised, Plain("　■ 協調レベルを 優先レベル に設定"), Red("　エラー : メモリのコンパクションに失敗"),
                    kNoPrimary}}),
    [](const ::testing::TestParamInfo<SoundFault>& row) { return std::string(row.param.name); });

// The external sound library, loaded from the executable's folder by the sound start and freed
// by its stop. Initialised on the service's DirectSound; without one of its five entry points,
// never initialised, yet uninitialised all the same.
TEST_F(OptionalServices, ExternalSoundLibraryIsInitialisedOnTheSoundServiceAndFreedAtTheEnd) {
  const struct {
    const wchar_t* standIn;
    const char* calls;
  } cases[] = {{L"odrel_stand_in.dll", "Initialize(0,sound,0,0);Uninitialize"},
               {L"odrel_incomplete_stand_in.dll", "Uninitialize"}};
  const std::wstring library = ExecutableFolder() + L"Odrel.dll";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.calls);
    ASSERT_TRUE(CopyFileW((ExecutableFolder() + c.standIn).c_str(), library.c_str(), FALSE)) << "built beside the tests";
    SetEnvironmentVariableA("ODREL_CALLS", nullptr);
    const std::string log = BootAndEnd(kSound, true, [] { EXPECT_NE(GetModuleHandleW(L"Odrel.dll"), nullptr); });
    EXPECT_EQ(GetModuleHandleW(L"Odrel.dll"), nullptr) << "freed by the sound stop";
    char calls[256] = {};
    GetEnvironmentVariableA("ODREL_CALLS", calls, sizeof calls);
    EXPECT_STREQ(calls, c.calls);
    EXPECT_TRUE(DeleteFileW(library.c_str()));
    ExpectInOrder(log, {"アプリケーション開始", "VelaSoundクラスの解放"});
  }
}

}  // namespace
