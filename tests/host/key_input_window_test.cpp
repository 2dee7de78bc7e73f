// GetKeyData and KeyBufferLoop of the real DLL, with keys typed through SendInput into the
// window as a user types them.
//
// What it takes for SendInput to reach DirectInput under Wine here (Xvfb, no window manager):
// the window made the foreground window by SetForegroundWindow (DirectInput acquires only
// then), every key sent with its DIK_ scan code beside its virtual key (Wine's hook passes the
// event's own scan code on), each send waited for until GetAsyncKeyState shows it (the hook runs
// on Wine's input thread later), a key pressed before its window leaves the front, and messages
// pumped for a while after each change of the foreground window (its focus events read the key
// state from the X server, which knows nothing of SendInput).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "tests/host/app_frame_support.h"

namespace {

using vela::test::AsLogBytes;
using vela::test::ExpectInOrder;
using vela::test::LogSettingsFile;
using vela::test::PluginWindowTest;
using vela::test::ReadWholeFile;

struct Key {
  std::uint16_t scanCode;  // the DIK_ value
  std::uint16_t virtualKey;
};
constexpr Key kA = {0x1E, 'A'};
constexpr Key kB = {0x30, 'B'};
constexpr Key kZ = {0x2C, 'Z'};

bool AsyncDown(Key key) { return (GetAsyncKeyState(key.virtualKey) & 0x8000) != 0; }

// `window` in front, with the focus events that follow it through.
void BringToFront(HWND window) {
  SetForegroundWindow(window);
  vela::host::PumpMessagesFor(250);
}

// Sends the events in one SendInput call and waits until the last one has gone through the
// low-level hooks (DirectInput's among them).
void Send(const std::vector<std::pair<Key, bool>>& events) {
  std::vector<INPUT> inputs;
  for (const auto& [key, down] : events) inputs.push_back(vela::test::KeyEvent(key.virtualKey, key.scanCode, down));
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
  const auto& [lastKey, lastDown] = events.back();
  // Generous: under emulation on a loaded machine the hooks can take seconds.
  for (const DWORD start = GetTickCount(); AsyncDown(lastKey) != lastDown && GetTickCount() - start < 10000;) Sleep(1);
  ASSERT_EQ(AsyncDown(lastKey), lastDown) << "the key never reached the input system";
}

// KeyBufferLoop's answer and the key it wrote.
using Taken = std::pair<bool, std::int32_t>;

class KeyInputWindow : public PluginWindowTest {
 protected:
  KeyInputWindow() : PluginWindowTest(u"Vela key input test") {}

  // Init, and the window in front after a first frame.
  void StartInFront(std::int32_t serviceFlags) {
    ASSERT_TRUE(frame.Init(serviceFlags, 320, 240));
    const HWND window = frame.Window();
    ASSERT_NE(window, nullptr);
    BringToFront(window);
    ASSERT_TRUE(frame.WaitMsg());
    ASSERT_EQ(GetForegroundWindow(), window);
  }

  // Frames until a typed key shows in GetKeyData: the keyboard is acquired. The probe key is
  // released again and its events are left behind in frames of their own.
  bool WaitUntilKeyboardReads() {
    for (int attempt = 0; attempt < 20; ++attempt) {
      Send({{kZ, true}});
      EXPECT_TRUE(frame.WaitMsg());
      const bool down = KeyDown(kZ.scanCode);
      Send({{kZ, false}});
      EXPECT_TRUE(frame.WaitMsg());
      EXPECT_TRUE(frame.WaitMsg());
      if (down) return true;
    }
    return false;
  }

  bool KeyDown(std::int32_t scanCode) {
    host.ClearStack();
    host.PushInt(scanCode);
    EXPECT_EQ(Call("GetKeyData"), 3);
    return host.PopBool();
  }

  Taken NextKey() {
    host.ClearStack();
    host.SetVariable(0, -1);
    host.PushWord(host.RelativeRef(0));
    EXPECT_EQ(Call("KeyBufferLoop"), 3);
    const bool answer = host.PopBool();
    return {answer, host.Variable(0)};
  }

  std::vector<Taken> NextKeys(int calls) {
    std::vector<Taken> taken;
    for (int call = 0; call < calls; ++call) taken.push_back(NextKey());
    return taken;
  }
};

TEST_F(KeyInputWindow, HeldKeysBufferedPressesAndReleasesAndTheStartAndStopInTheLog) {
  LogSettingsFile settings(L"vela_input_log.html", L"Vela input log");
  StartInFront(1);
  ASSERT_TRUE(WaitUntilKeyboardReads());

  // A held key is down in every frame; its press is handed out once, in the frame after it.
  Send({{kA, true}});
  EXPECT_FALSE(KeyDown(kA.scanCode)) << "the table changes only at WaitMsg";
  ASSERT_TRUE(frame.WaitMsg());
  EXPECT_EQ(std::pair(KeyDown(kA.scanCode), KeyDown(kB.scanCode)), std::pair(true, false));
  EXPECT_EQ(NextKeys(3), (std::vector<Taken>{{true, kA.scanCode}, {false, 0}, {false, 0}}));
  for (int held = 0; held < 3; ++held) {
    ASSERT_TRUE(frame.WaitMsg());
    EXPECT_TRUE(KeyDown(kA.scanCode)) << "held frame " << held;
    EXPECT_EQ(NextKey(), (Taken{false, 0})) << "held frame " << held;
  }
  Send({{kA, false}});
  ASSERT_TRUE(frame.WaitMsg());
  EXPECT_FALSE(KeyDown(kA.scanCode));
  EXPECT_EQ(NextKeys(2), (std::vector<Taken>{{false, 0}, {false, 0}}));

  // A down, A up, B down in one frame: the release ends a host loop, the press behind it
  // still comes with the next call.
  Send({{kA, true}, {kA, false}, {kB, true}});
  ASSERT_TRUE(frame.WaitMsg());
  EXPECT_EQ(NextKeys(4), (std::vector<Taken>{{true, kA.scanCode}, {false, 0}, {true, kB.scanCode}, {false, 0}}));
  EXPECT_EQ(std::pair(KeyDown(kA.scanCode), KeyDown(kB.scanCode)), std::pair(false, true));
  Send({{kB, false}});
  ASSERT_TRUE(frame.WaitMsg());
  EXPECT_FALSE(KeyDown(kB.scanCode));

  // Entries not taken before the next WaitMsg are gone.
  Send({{kA, true}, {kA, false}});
  ASSERT_TRUE(frame.WaitMsg());
  ASSERT_TRUE(frame.WaitMsg());
  EXPECT_EQ(NextKey(), (Taken{false, 0}));

  // The start's steps in order between the managers and the application start, a keyboard and
  // no controller (Wine has none here), and the releases.
  frame.Finish();
  const std::string log = ReadWholeFile(settings.LogPath());
  ExpectInOrder(log, {
      "VelaInputクラスの初期化",
      "<B>　DirectInputオブジェクトの初期化に成功</B><BR>\n",
      "<B>　キーボードデバイスの初期化</B><BR>\n",
      "　　プロパティを設定<BR>\n",
      "キー キーボード<BR>\n",
      "<B>　ジョイスティックデバイスの初期化</B><BR>\n",
      "　　ジョイスティックデバイスの列挙 [ 0 ]<BR>\n",
      "アプリケーション開始",
      "VelaInputクラスの解放",
      "キーボード用デバイスの解放<BR>\n",
      "DirectInputオブジェクトの解放<BR>\n",
  });
  EXPECT_EQ(log.find(AsLogBytes("エラー")), std::string::npos);
}

TEST_F(KeyInputWindow, KeyboardInTheBackgroundReadsReleasedUntilTheWindowIsBack) {
  StartInFront(1);
  ASSERT_TRUE(WaitUntilKeyboardReads());
  const HWND window = frame.Window();
  Send({{kA, true}});
  ASSERT_TRUE(frame.WaitMsg());
  ASSERT_TRUE(KeyDown(kA.scanCode));
  ASSERT_EQ(NextKey(), (Taken{true, kA.scanCode}));

  // Another window in front while A is still held: A reads released, nothing is buffered.
  const HWND other = CreateWindowW(L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                   nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  BringToFront(other);
  for (int frameInBack = 0; frameInBack < 3; ++frameInBack) {
    ASSERT_TRUE(frame.WaitMsg());
    ASSERT_EQ(GetForegroundWindow(), other);
    EXPECT_FALSE(KeyDown(kA.scanCode)) << "background frame " << frameInBack;
    EXPECT_EQ(NextKey(), (Taken{false, 0})) << "background frame " << frameInBack;
  }
  Send({{kA, false}});

  // Back in front, Acquire succeeds again at the next frame.
  BringToFront(window);
  ASSERT_TRUE(frame.WaitMsg());
  Send({{kB, true}});
  ASSERT_TRUE(frame.WaitMsg());
  EXPECT_TRUE(KeyDown(kB.scanCode)) << "the keyboard is acquired again once the window is in front";
  EXPECT_EQ(NextKey(), (Taken{true, kB.scanCode}));
  Send({{kB, false}});
  ASSERT_TRUE(frame.WaitMsg());
  DestroyWindow(other);
}

}  // namespace
