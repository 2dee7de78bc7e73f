// The test harness's message-box capture, on boxes this thread shows itself.
#include <windows.h>

#include <gtest/gtest.h>

#include "host/message_box_capture.h"

namespace {

using vela::host::MessageBoxCapture;

TEST(MessageBoxCapture, RecordsWhatTheBoxShowsAndAnswersIt) {
  MessageBoxCapture boxes;
  ASSERT_TRUE(boxes.Installed());
  EXPECT_EQ(MessageBoxW(nullptr, L"３Ｄシステムの起動に失敗", L"ERROR", MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBoxW(nullptr, L"two\nlines", L"Question", MB_YESNO | MB_ICONQUESTION), IDYES);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].caption, L"ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, L"３Ｄシステムの起動に失敗");
  EXPECT_EQ(boxes.Boxes()[0].type, static_cast<unsigned>(MB_ICONERROR | MB_OK));
  EXPECT_EQ(boxes.Boxes()[1].text, L"two\nlines");
  EXPECT_EQ(boxes.Boxes()[1].type, static_cast<unsigned>(MB_ICONQUESTION | MB_YESNO));
}

}  // namespace
