// Test-only definitions of the core functions Vela3D uses; see core_stub.h.
#include "tests/graphics/core_stub.h"

#include <cstdarg>
#include <cstdio>

#include "graphics/error_box.h"
#include "core/vela_core.h"
#include "core/vela_debug.h"

namespace vela {
namespace {

struct StubCore {
  HWND window = nullptr;
  int width = 640;
  int height = 480;
  bool windowed = true;
  std::string log;
  std::vector<test::RecordedErrorBox> boxes;
};

StubCore& Stub() {
  static StubCore core;
  return core;
}

std::string Format(const char* format, va_list arguments) {
  char text[4096];
  std::vsnprintf(text, sizeof text, format, arguments);
  return text;
}

void Append(const char* format, va_list arguments) { Stub().log += Format(format, arguments); }

}  // namespace

namespace test {
void SetScreen(HWND window, int width, int height, bool windowed) {
  Stub().window = window;
  Stub().width = width;
  Stub().height = height;
  Stub().windowed = windowed;
}
const std::string& LoggedText() { return Stub().log; }
void ClearLog() { Stub().log.clear(); }
const std::vector<RecordedErrorBox>& ErrorBoxes() { return Stub().boxes; }
}  // namespace test

#define VELA_STUB_LOG(name)                   \
  void name(const char* format, ...) {        \
    va_list arguments;                        \
    va_start(arguments, format);              \
    Append(format, arguments);                \
    va_end(arguments);                        \
  }
VELA_STUB_LOG(LogHeadRow)
VELA_STUB_LOG(LogBlue)
VELA_STUB_LOG(LogRed)
VELA_STUB_LOG(LogGreen)
VELA_STUB_LOG(LogBold)
VELA_STUB_LOG(LogPlain)
#undef VELA_STUB_LOG

void LogBreak() { Stub().log += '\n'; }

void ErrorBox(unsigned type, const char* caption, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  Stub().boxes.push_back({type, caption, Format(format, arguments)});
  va_end(arguments);
}

HINSTANCE ExecutableModule() { return GetModuleHandleA(nullptr); }
HWND MainWindow() { return Stub().window; }
void GetScreen(int* width, int* height, bool* windowed) {
  if (width) *width = Stub().width;
  if (height) *height = Stub().height;
  if (windowed) *windowed = Stub().windowed;
}
void RestoreWorkingDirectory() {}
float ScaleX(float x) { return x; }
float ScaleY(float y) { return y; }

}  // namespace vela
