#include "host/message_box_capture.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace vela::host {
namespace {

thread_local MessageBoxCapture* current = nullptr;

std::wstring TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// What a box shows, read from its controls: the static text, the icon and the visible buttons.
struct BoxContents {
  std::wstring text;
  HICON icon = nullptr;
  std::vector<int> buttons;  // control ids (IDOK, IDCANCEL, ...) in child order
  HWND firstButton = nullptr;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto& contents = *reinterpret_cast<BoxContents*>(context);
  const std::wstring name = ClassOf(child);
  const LONG style = GetWindowLongW(child, GWL_STYLE);
  if (_wcsicmp(name.c_str(), L"Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      contents.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    } else if (contents.text.empty()) {
      contents.text = TextOf(child);
    }
  } else if (_wcsicmp(name.c_str(), L"Button") == 0 && (style & WS_VISIBLE)) {
    // The style, not IsWindowVisible: the box itself is not shown yet when it is activated.
    contents.buttons.push_back(GetDlgCtrlID(child));
    if (!contents.firstButton) contents.firstButton = child;
  }
  return TRUE;
}

unsigned IconType(HICON icon) {
  if (!icon) return 0;
  struct Known {
    LPCWSTR resource;
    unsigned type;
  };
  const Known known[] = {{MAKEINTRESOURCEW(32513), MB_ICONERROR},  // IDI_HAND
                         {MAKEINTRESOURCEW(32514), MB_ICONQUESTION},
                         {MAKEINTRESOURCEW(32515), MB_ICONWARNING},
                         {MAKEINTRESOURCEW(32516), MB_ICONINFORMATION}};
  for (const Known& entry : known) {
    if (LoadIconW(nullptr, entry.resource) == icon) return entry.type;
  }
  return 0;
}

unsigned ButtonType(std::vector<int> buttons) {
  std::sort(buttons.begin(), buttons.end());
  struct Known {
    std::vector<int> ids;
    unsigned type;
  };
  const Known known[] = {{{IDOK}, MB_OK},
                         {{IDOK, IDCANCEL}, MB_OKCANCEL},
                         {{IDABORT, IDRETRY, IDIGNORE}, MB_ABORTRETRYIGNORE},
                         {{IDCANCEL, IDYES, IDNO}, MB_YESNOCANCEL},
                         {{IDYES, IDNO}, MB_YESNO},
                         {{IDCANCEL, IDRETRY}, MB_RETRYCANCEL}};
  for (const Known& entry : known) {
    if (entry.ids == buttons) return entry.type;
  }
  return 0xFFFFu;  // a set of buttons no MB_ type describes
}

}  // namespace

MessageBoxCapture::MessageBoxCapture() {
  hook_ = SetWindowsHookExW(WH_CBT, HookProcedure, nullptr, GetCurrentThreadId());
  if (hook_) previous_ = std::exchange(current, this);
}

MessageBoxCapture::~MessageBoxCapture() {
  if (!hook_) return;
  UnhookWindowsHookEx(hook_);
  current = previous_;
}

LRESULT CALLBACK MessageBoxCapture::HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && current) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (ClassOf(window) == L"#32770") current->Capture(window);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCapture::Capture(HWND dialog) {
  // A box is activated again when a window it owned goes away: record it once.
  if (GetPropW(dialog, L"VelaCaptured")) return;
  SetPropW(dialog, L"VelaCaptured", reinterpret_cast<HANDLE>(1));
  BoxContents contents;
  EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&contents));
  boxes_.push_back({TextOf(dialog), contents.text, IconType(contents.icon) | ButtonType(contents.buttons)});
  // Clicked once the box's modal loop runs.
  if (contents.firstButton) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(contents.firstButton), BN_CLICKED),
                 reinterpret_cast<LPARAM>(contents.firstButton));
  } else {
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
}

}  // namespace vela::host
