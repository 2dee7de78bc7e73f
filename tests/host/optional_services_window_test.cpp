// The optional services that the service flags select (sound 2, music 4, media and video
// renderer 8, CD audio 16): the boot with them, the log lines of each start and stop in the
// order the boot and the shutdown run them, and the external sound library beside the
// executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/host/app_frame_support.h"

namespace {

using namespace vela::test;
using vela::host::MessageBoxCapture;

constexpr int kSound = 2;
constexpr int kMusic = 4;
constexpr int kMedia = 8;
constexpr int kCdAudio = 16;

// Boots with `flags` and a log, runs a frame, ends, and answers the log's bytes.
class OptionalServices : public ::testing::Test {
 protected:
  std::string BootAndEnd(int flags) {
    std::string log;
    {
      LogSettingsFile settings(L"optional_services_log.html", L"services");
      AppFrame frame{u"Vela optional services test"};
      EXPECT_TRUE(frame.Init(flags, 320, 240));
      EXPECT_TRUE(frame.WaitMsg());
      frame.Finish();
      log = ReadWholeFile(settings.LogPath());
    }
    EXPECT_TRUE(boxes.Boxes().empty()) << "a message box was shown";
    return log;
  }

  // Every piece once, in this order, starting at `from`; answers where the last one ends.
  static std::size_t ExpectInOrder(const std::string& log, const std::vector<std::string>& pieces,
                                   std::size_t from = 0) {
    for (const std::string& piece : pieces) {
      const std::string bytes = AsLogBytes(piece);
      const std::size_t at = log.find(bytes, from);
      EXPECT_NE(at, std::string::npos) << "missing or out of order: " << piece;
      if (at == std::string::npos) return from;
      EXPECT_EQ(log.find(bytes, at + bytes.size()), std::string::npos) << "written twice: " << piece;
      from = at + bytes.size();
    }
    return from;
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
  EXPECT_FALSE(Contains(log, "　■ DirectMusicを解体")) << "the start leaves that interface null";
  EXPECT_FALSE(Contains(log, "Destroy [ No.")) << "no record was in use";
}

// The external sound library: loaded from the executable's folder by the sound start,
// initialised on the service's DirectSound, uninitialised and freed by the stop.
TEST_F(OptionalServices, ExternalSoundLibraryIsInitialisedOnTheSoundServiceAndFreedAtTheEnd) {
  const std::wstring standIn = ExecutableFolder() + L"odrel_stand_in.dll";
  const std::wstring library = ExecutableFolder() + L"Odrel.dll";
  ASSERT_TRUE(CopyFileW(standIn.c_str(), library.c_str(), FALSE)) << "the stand-in is built beside the tests";
  SetEnvironmentVariableA("ODREL_CALLS", nullptr);

  {
    AppFrame frame{u"Vela external sound library test"};
    ASSERT_TRUE(frame.Init(kSound, 320, 240));
    EXPECT_NE(GetModuleHandleW(L"Odrel.dll"), nullptr);
    ASSERT_TRUE(frame.WaitMsg());
    frame.Finish();
  }
  EXPECT_EQ(GetModuleHandleW(L"Odrel.dll"), nullptr) << "freed by the sound stop";
  char calls[256] = {};
  GetEnvironmentVariableA("ODREL_CALLS", calls, sizeof calls);
  EXPECT_STREQ(calls, "Initialize(0,sound,0,0);Uninitialize");
  EXPECT_TRUE(DeleteFileW(library.c_str()));
  EXPECT_TRUE(boxes.Boxes().empty());
}

// Run by a test of its own without any sound device (VELA_TEST_WITHOUT_SOUND_DEVICE set and no
// null device configured), where DirectSound cannot be initialised.
class OptionalServicesWithoutSound : public OptionalServices {};

TEST_F(OptionalServicesWithoutSound, DISABLED_SoundStartFailsAtInitialiseAndTheBootShowsItsBox) {
  ASSERT_NE(GetEnvironmentVariableA("VELA_TEST_WITHOUT_SOUND_DEVICE", nullptr, 0), 0u)
      << "this test needs a machine without a sound device";
  std::string log;
  {
    LogSettingsFile settings(L"optional_services_log.html", L"services");
    AppFrame frame{u"Vela sound failure test"};
    EXPECT_TRUE(frame.Init(kSound | kMusic, 320, 240)) << "the window exists; the boot in it failed";
    EXPECT_FALSE(frame.WaitMsg());
    frame.Finish();
    log = ReadWholeFile(settings.LogPath());
  }
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, L"ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, L"サウンドクラスの初期化に失敗\nメモリの割り当て量が少ないかもしれません");
  ExpectInOrder(log, {"VelaSoundクラスの初期化", "　■ DirectSoundオブジェクトを取得",
                      "  エラー : DirectSoundオブジェクトの生成に失敗", "VelaSoundクラスの解放"});
  EXPECT_FALSE(Contains(log, "VelaMusicクラスの初期化")) << "the boot ends at the failed sound start";
  EXPECT_FALSE(Contains(log, "アプリケーション開始"));
}

}  // namespace
