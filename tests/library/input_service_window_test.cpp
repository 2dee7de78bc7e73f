// VelaInput inside the application frame, below the exports: what the library keeps for itself
// and no export reads. Typed characters reach the text-entry buffer through the window's
// WM_CHAR, and the mouse hooks feed the frame's mouse sample. The frame runs in this process
// (CreateAppWindow and WaitFrame are what Init and WaitMsg call).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/app_window.h"
#include "input/vela_input.h"
#include "tests/support/window_test_support.h"

namespace vela {
namespace {

constexpr const wchar_t* kTitle = L"Vela input service test";

// Each key pressed and released, in order: virtual key and scan code (see the notes in
// tests/host/key_input_window_test.cpp).
void Type(const std::vector<std::pair<WORD, WORD>>& keys) {
  std::vector<INPUT> inputs;
  for (const auto& [virtualKey, scanCode] : keys) {
    inputs.push_back(test::KeyEvent(virtualKey, scanCode, true));
    inputs.push_back(test::KeyEvent(virtualKey, scanCode, false));
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

class InputServiceWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    VelaInput::ClearTextEntry();
    ASSERT_TRUE(CreateAppWindow(kTitle, 1, 320, 240));
    window = FindWindowW(kTitle, kTitle);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitFrame());
    SetForegroundWindow(window);
    ASSERT_TRUE(WaitFrame());
    ASSERT_EQ(GetForegroundWindow(), window);
  }
  void TearDown() override {
    if (IsWindow(window)) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      for (int frame = 0; frame < 100 && WaitFrame(); ++frame) {
      }
    }
    EndApplication();
  }

  HWND window = nullptr;
};

TEST_F(InputServiceWindow, TypedCharactersReachTheTextEntryBuffer) {
  // "vela", a backspace (a control code: dropped), "1", then Return.
  Type({{'V', 0x2F}, {'E', 0x12}, {'L', 0x26}, {'A', 0x1E}, {VK_BACK, 0x0E}, {'1', 0x02}, {VK_RETURN, 0x1C}});
  for (int frame = 0; frame < 30 && !VelaInput::TextEntry().LineEntered(); ++frame) ASSERT_TRUE(WaitFrame());
  EXPECT_EQ(VelaInput::TextEntry().Text(), "vela1");
  EXPECT_TRUE(VelaInput::TextEntry().LineEntered());

  // A Shift-JIS pair arrives as two character messages of one byte each.
  PostMessageW(window, WM_CHAR, 0x82, 0);
  PostMessageW(window, WM_CHAR, 0xA0, 0);
  ASSERT_TRUE(WaitFrame());
  EXPECT_EQ(VelaInput::TextEntry().Text(), "vela1\x82\xA0");
  EXPECT_FALSE(VelaInput::TextEntry().LineEntered());
}

TEST_F(InputServiceWindow, MouseHooksFeedTheFrameSample) {
  const std::int32_t wheelBefore = VelaInput::Mouse().wheelTotal;
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, 40), 0);
  EXPECT_EQ(VelaInput::Mouse().wheelTotal - wheelBefore, -200);

  SendMessageW(window, WM_RBUTTONDBLCLK, 0, 0);
  ASSERT_TRUE(WaitFrame());
  EXPECT_FALSE(VelaInput::Mouse().buttons[0].doubleClicked);
  EXPECT_TRUE(VelaInput::Mouse().buttons[1].doubleClicked);
  ASSERT_TRUE(WaitFrame());
  EXPECT_FALSE(VelaInput::Mouse().buttons[1].doubleClicked) << "a double click lasts one frame";

  // The cursor in client coordinates.
  POINT client = {30, 40};
  ClientToScreen(window, &client);
  ASSERT_TRUE(SetCursorPos(client.x, client.y));
  ASSERT_TRUE(WaitFrame());
  EXPECT_EQ(VelaInput::Mouse().x, 30);
  EXPECT_EQ(VelaInput::Mouse().y, 40);
}

}  // namespace
}  // namespace vela
