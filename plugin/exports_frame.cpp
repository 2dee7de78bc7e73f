// Init, WaitMsg and End: the window, the frame loop and the end of the application.
#include "app/app_window.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/text_conversion.h"

using vela::plugin::ArgumentReader;
using vela::plugin::GrowBuffer;
using vela::plugin::HostWord;

VELA_EXPORT std::int32_t VELA_CDECL Init(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 24);
  const auto title = args.String();
  const std::int32_t serviceFlags = args.Int();
  const std::int32_t clientWidth = args.Int();
  const std::int32_t clientHeight = args.Int();
  // The window system copies the class name and title; the buffer lives for this call only.
  GrowBuffer<char16_t> wideTitle;
  vela::plugin::ToWideZ(title, wideTitle);
  const bool created = vela::CreateAppWindow(reinterpret_cast<const wchar_t*>(CString(wideTitle)),
                                             serviceFlags, clientWidth, clientHeight);
  return args.ReturnBool(created);
}

VELA_EXPORT std::int32_t VELA_CDECL WaitMsg(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 0);
  return args.ReturnBool(vela::WaitFrame());
}

VELA_EXPORT std::int32_t VELA_CDECL End(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 0);
  vela::EndApplication();
  return args.Return();
}
