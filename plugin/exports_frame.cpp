// Init, WaitMsg and End: the window, the frame loop and the end of the application.
#include "app/app_window.h"
#include "plugin/export_call.h"
#include "plugin/text_conversion.h"

VELA_EXPORT_BODY(Init)(HostStringView title, std::int32_t serviceFlags, std::int32_t clientWidth,
                       std::int32_t clientHeight) -> bool {
  // The window system copies the class name and title; the buffer lives for this call only.
  GrowBuffer<char16_t> wideTitle;
  ToWideZ(title, wideTitle);
  Handles().Forget();  // handles of an earlier run name nothing now
  return CreateAppWindow(reinterpret_cast<const wchar_t*>(CString(wideTitle)), serviceFlags, clientWidth,
                         clientHeight);
}

VELA_EXPORT_BODY(WaitMsg)() -> bool { return WaitFrame(); }

// The shutdown destroys every object, whatever the host still holds.
VELA_EXPORT_BODY(End)() -> void {
  EndApplication();
  Handles().Forget();
}
