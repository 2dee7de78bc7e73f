// The library's share of the window messages: mouse double clicks and wheel for the input
// service, and the notifications of CD audio, the network and media.
#include <windows.h>
#include <mmsystem.h>

#include "app/app_window.h"
#include "app/pending_services.h"
#include "input/vela_input.h"

namespace vela {

namespace {
constexpr UINT kNetworkNotify = WM_USER + 1;
constexpr UINT kMediaNotify = WM_USER + 2;
}  // namespace

bool LibraryMessageHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  using input::MouseButton;
  switch (message) {
    case WM_LBUTTONDBLCLK: VelaInput::SetDoubleClick(MouseButton::kLeft); return true;
    case WM_RBUTTONDBLCLK: VelaInput::SetDoubleClick(MouseButton::kRight); return true;
    case WM_MBUTTONDBLCLK: VelaInput::SetDoubleClick(MouseButton::kMiddle); return true;
    case WM_MOUSEWHEEL: VelaInput::AddWheelDelta(static_cast<short>(HIWORD(wParam))); return true;
    case MM_MCINOTIFY: pending::CdAudioNotify(wParam, lParam); return true;
    case kNetworkNotify: pending::NetworkNotify(window, wParam, lParam); return true;
    case kMediaNotify: pending::MediaNotify(); return true;
    default: return false;
  }
}

}  // namespace vela
