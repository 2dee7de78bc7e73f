// MessageBoxCapture: answers the message boxes that the calling thread shows, so that a test
// that meets one neither blocks nor misses it.
//
// While an instance lives, a WH_CBT hook on its thread watches for message-box dialogs (class
// "#32770") being activated, records what the user would see (caption, text, and the icon and
// buttons expressed as the MB_* type), and clicks the box's first button:
//
//   MessageBoxCapture boxes;
//   ... code that may call MessageBoxW on this thread ...
//   ASSERT_EQ(boxes.Boxes().size(), 1u);
//   EXPECT_EQ(boxes.Boxes()[0].caption, L"ERROR");
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vela::host {

struct CapturedBox {
  std::wstring caption;
  std::wstring text;
  unsigned type;  // MB_ICON* | MB_OK / MB_OKCANCEL / MB_YESNO / ...
};

class MessageBoxCapture {
 public:
  MessageBoxCapture();
  ~MessageBoxCapture();
  MessageBoxCapture(const MessageBoxCapture&) = delete;
  MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

  bool Installed() const { return hook_ != nullptr; }
  const std::vector<CapturedBox>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); }

 private:
  static LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
  void Capture(HWND dialog);

  HHOOK hook_ = nullptr;
  MessageBoxCapture* previous_ = nullptr;  // captures nest per thread
  std::vector<CapturedBox> boxes_;
};

}  // namespace vela::host
