// Init, WaitMsg and End of the real DLL: the window as the user sees it, the frame pacing, and
// the ways the loop ends.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include "tests/host/app_frame_support.h"

namespace {

class AppFrameWindow : public vela::test::PluginWindowTest {
 protected:
  AppFrameWindow() : PluginWindowTest(u"Vela frame test") {}
};

TEST_F(AppFrameWindow, TheWindowIsCentredSizedByTheSystemMetricsAndTheExecutableFolderIsCurrent) {
  SetCurrentDirectoryW(L"C:\\");
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

  for (int i = 0; i < 3; ++i) ASSERT_TRUE(frame.WaitMsg()) << "frame " << i;
  wchar_t current[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, current);
  EXPECT_EQ(std::wstring(current) + L"\\", vela::test::ExecutableFolder());
}

// With a timer resolution of 1 ms, as a host that paces its frames sets it.
TEST_F(AppFrameWindow, SixtyFramesWithHostWorkTakeAboutOneSecond) {
  timeBeginPeriod(1);
  ASSERT_TRUE(frame.Init(0, 320, 240));
  ASSERT_TRUE(frame.WaitMsg());
  const DWORD start = timeGetTime();
  for (int i = 0; i < 60; ++i) {
    Sleep(2);  // the host's drawing
    ASSERT_TRUE(frame.WaitMsg());
  }
  const DWORD elapsed = timeGetTime() - start;
  timeEndPeriod(1);
  // Paced, and not twice over: the margin above one second is for a loaded test machine.
  EXPECT_GE(elapsed, 800u);
  EXPECT_LE(elapsed, 1900u);
}

// The ways a user closes the window: Escape typed into it, Alt-F4, the close command (which
// the screen saver and monitor power commands before it do not stand in for).
TEST_F(AppFrameWindow, EscapeAltF4AndCloseEndTheLoopAtTheNextWaitMsg) {
  const struct {
    const char* how;
    void (*close)(HWND);
  } ways[] = {
      {"Escape",
       [](HWND window) {
         SetForegroundWindow(window);
         vela::host::PumpMessagesFor(250);  // the focus events go through first
         INPUT keys[2] = {vela::test::KeyEvent(VK_ESCAPE, 0x01, true), vela::test::KeyEvent(VK_ESCAPE, 0x01, false)};
         ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
       }},
      {"Alt-F4", [](HWND window) { SendMessageW(window, WM_SYSKEYDOWN, VK_F4, 1u << 29); }},
      {"close",
       [](HWND window) {
         EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
         EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2), 0);
         ASSERT_TRUE(IsWindow(window)) << "the screen saver is refused";
         SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
       }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    ASSERT_TRUE(frame.Init(0, 320, 240));
    ASSERT_TRUE(frame.WaitMsg());
    const HWND window = frame.Window();
    way.close(window);
    EXPECT_FALSE(frame.WaitMsg());
    EXPECT_FALSE(IsWindow(window));
    frame.Finish();
  }
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

}  // namespace
