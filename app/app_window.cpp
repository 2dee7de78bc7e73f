// The window class, the window and its procedure.
#include "app/app_window.h"

#include <cstdint>
#include <ctime>

#include "app/library_boot.h"
#include "input/vela_input.h"
#include "math/vela_math.h"

namespace vela {
namespace {

// WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX: no sizing border, no maximise box.
constexpr DWORD kWindowStyle = 0x80CA0000;

struct FrameSettings {
  int serviceFlags = 0;
  int clientWidth = 0;
  int clientHeight = 0;
};

FrameSettings frame;

void BootOnCreate(HWND window) {
  bool booted = BootStepOne(window, frame.serviceFlags);
  if (booted) {
    math::Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    booted = BootStepTwo(frame.clientWidth, frame.clientHeight);
  }
  if (!booted) PostMessageW(window, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
      VelaInput::AddTextCharacter(static_cast<std::uint32_t>(wParam));
      return 0;
    case WM_CREATE:
      BootOnCreate(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (wParam != VK_ESCAPE) break;
      PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam != VK_F4) break;
      PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_SYSCOMMAND:
      // The screen saver and monitor power-off are refused while the application runs.
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    default:
      break;
  }
  if (LibraryMessageHook(window, message, wParam, lParam)) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass(const wchar_t* title) {
  const HINSTANCE executable = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = executable;
  windowClass.hIcon = LoadIconW(executable, L"QVXIcon");  // the host's; none if it has none
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = title;
  RegisterClassW(&windowClass);  // a class left from an earlier Init serves as well
}

}  // namespace

WindowPlacement PlaceWindow(int clientWidth, int clientHeight) {
  WindowPlacement placement;
  placement.width = clientWidth + GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFIXEDFRAME) +
                    GetSystemMetrics(SM_CXBORDER);
  placement.height = clientHeight + GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYFIXEDFRAME) +
                     GetSystemMetrics(SM_CYBORDER) + GetSystemMetrics(SM_CYCAPTION);
  placement.x = GetSystemMetrics(SM_CXSCREEN) / 2 - placement.width / 2;
  placement.y = GetSystemMetrics(SM_CYSCREEN) / 2 - placement.height / 2;
  return placement;
}

bool CreateAppWindow(const wchar_t* title, int serviceFlags, int clientWidth, int clientHeight) {
  RegisterWindowClass(title);
  frame = {serviceFlags, clientWidth, clientHeight};
  const WindowPlacement placement = PlaceWindow(clientWidth, clientHeight);
  const HWND window = CreateWindowExW(0, title, title, kWindowStyle, placement.x, placement.y,
                                      placement.width, placement.height, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  if (!window) return false;
  UpdateWindow(window);
  ShowWindow(window, SW_SHOW);
  return true;
}

void EndApplication() { Shutdown(); }

}  // namespace vela
