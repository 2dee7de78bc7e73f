// FontBegin, FontDraw and FontEnd: GDI text on the back buffer. The host's text is drawn as it
// is, handed over as an argument of the formatting and never as the format, so "%" prints.
#include <windows.h>

#include "graphics/back_buffer_text.h"
#include "plugin/export_call.h"
#include "plugin/text_conversion.h"

VELA_EXPORT_BODY(FontBegin)(HostStringView face, std::int32_t height) -> void {
  GrowBuffer<char> faceName;
  ToCodePage(face, faceName);
  Vela3D::TextBegin(CString(faceName), height);  // the host is not told
}

VELA_EXPORT_BODY(FontDraw)(std::int32_t x, std::int32_t y, std::int32_t textColour, std::int32_t backgroundColour,
                           HostStringView text) -> void {
  GrowBuffer<char> converted;
  ToCodePage(text, converted);
  Vela3D::TextDraw(x, y, static_cast<COLORREF>(textColour), static_cast<COLORREF>(backgroundColour), "%s",
                   CString(converted));
}

VELA_EXPORT_BODY(FontEnd)() -> void { Vela3D::TextEnd(); }
