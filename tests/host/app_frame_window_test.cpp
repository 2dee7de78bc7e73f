// Init, WaitMsg and End of the real DLL: the window as the user sees it, the frame pacing, and
// the ways the loop ends.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/host/app_frame_support.h"

namespace {

using vela::host::MessageBoxCapture;
using vela::test::AppFrame;

class AppFrameWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frame.Loaded()) << "velaplugin.dll did not load";
    ASSERT_TRUE(boxes.Installed());
    timeBeginPeriod(1);
  }
  void TearDown() override {
    frame.Finish();
    EXPECT_TRUE(boxes.Boxes().empty()) << "a message box was shown: " << boxes.Boxes().size();
    timeEndPeriod(1);
  }

  MessageBoxCapture boxes;
  AppFrame frame{u"Vela frame test"};
};

TEST_F(AppFrameWindow, OuterSizeFollowsTheSystemMetricsAndIsCentred) {
  ASSERT_TRUE(frame.Init(0, 640, 480));
  const HWND window = frame.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));

  const int width = 640 + GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFIXEDFRAME) +
                    GetSystemMetrics(SM_CXBORDER);
  const int height = 480 + GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYFIXEDFRAME) +
                     GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYCAPTION);
  RECT outer;
  ASSERT_TRUE(GetWindowRect(window, &outer));
  EXPECT_EQ(outer.right - outer.left, width);
  EXPECT_EQ(outer.bottom - outer.top, height);
  EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - width / 2);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2);

  // A caption, a system menu and a minimise box; no sizing border, no maximise box.
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  EXPECT_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS), 0x80CA0000u);
  EXPECT_EQ(GetClassLongW(window, GCL_STYLE) & CS_DBLCLKS, static_cast<DWORD>(CS_DBLCLKS));
}

TEST_F(AppFrameWindow, BootWithoutServiceFlagsRunsAndMakesTheExecutableFolderCurrent) {
  SetCurrentDirectoryW(L"C:\\");
  ASSERT_TRUE(frame.Init(0, 320, 240));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(frame.WaitMsg()) << "frame " << i;
  EXPECT_TRUE(IsWindow(frame.Window()));

  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current) + L"\\", vela::test::ExecutableFolder());
}

// Dispatches what the window has queued, as the host may between frames, so that a timed
// WaitMsg measures the pacing rather than the first paint.
void DrainQueue() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

DWORD TimedWaitMsg(AppFrame& frame) {
  DrainQueue();
  const DWORD start = timeGetTime();
  EXPECT_TRUE(frame.WaitMsg());
  return timeGetTime() - start;
}

TEST_F(AppFrameWindow, FirstAndLateFramesDoNotSleep) {
  ASSERT_TRUE(frame.Init(0, 320, 240));
  // The first frame only starts the deadline; so does any frame after a pause longer than one
  // interval. The shortest of several such calls shows whether they sleep (a sleep would take
  // most of 16 ms) without depending on a quiet machine.
  DWORD shortest = TimedWaitMsg(frame);
  for (int trial = 0; trial < 5; ++trial) {
    Sleep(40);
    shortest = std::min(shortest, TimedWaitMsg(frame));
  }
  EXPECT_LT(shortest, 8u);
}

TEST_F(AppFrameWindow, SixtyFramesWithHostWorkTakeAboutOneSecond) {
  ASSERT_TRUE(frame.Init(0, 320, 240));
  ASSERT_TRUE(frame.WaitMsg());
  const DWORD start = timeGetTime();
  for (int i = 0; i < 60; ++i) {
    Sleep(2);  // the host's drawing
    ASSERT_TRUE(frame.WaitMsg());
  }
  const DWORD elapsed = timeGetTime() - start;
  // Paced, and not twice over: the margin above one second is for a loaded test machine.
  EXPECT_GE(elapsed, 800u);
  EXPECT_LE(elapsed, 1900u);
}

TEST_F(AppFrameWindow, EscapeEndsTheLoopAtTheNextWaitMsg) {
  ASSERT_TRUE(frame.Init(0, 320, 240));
  ASSERT_TRUE(frame.WaitMsg());
  const HWND window = frame.Window();
  SetForegroundWindow(window);
  ASSERT_TRUE(frame.WaitMsg());
  ASSERT_EQ(GetForegroundWindow(), window);

  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);

  EXPECT_FALSE(frame.WaitMsg());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(AppFrameWindow, AltF4EndsTheLoop) {
  ASSERT_TRUE(frame.Init(0, 320, 240));
  const HWND window = frame.Window();
  SendMessageW(window, WM_SYSKEYDOWN, VK_F4, 1u << 29);
  EXPECT_FALSE(frame.WaitMsg());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(AppFrameWindow, QuitInTheQueueAnswersFalseAtOnceAndLeavesTheRest) {
  ASSERT_TRUE(frame.Init(0, 320, 240));
  ASSERT_TRUE(frame.WaitMsg());
  constexpr UINT kBehind = WM_APP + 7;
  PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
  PostThreadMessageW(GetCurrentThreadId(), kBehind, 0, 0);
  EXPECT_FALSE(frame.WaitMsg());
  MSG message;
  EXPECT_TRUE(PeekMessageW(&message, nullptr, kBehind, kBehind, PM_REMOVE));
  EXPECT_TRUE(IsWindow(frame.Window())) << "a quit message is not a close request";
}

TEST_F(AppFrameWindow, ScreenSaverIsRefusedWhileCloseGoesThrough) {
  ASSERT_TRUE(frame.Init(0, 320, 240));
  const HWND window = frame.Window();
  EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
  EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
  EXPECT_TRUE(IsWindow(window));
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(frame.WaitMsg());
}

}  // namespace
