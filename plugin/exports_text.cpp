// FontBegin, FontDraw and FontEnd: GDI text on the back buffer. The host's text is drawn as it
// is, handed over as an argument of the formatting and never as the format, so "%" prints.
#include <windows.h>

#include "graphics/back_buffer_text.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/text_conversion.h"

using vela::plugin::ArgumentReader;
using vela::plugin::GrowBuffer;
using vela::plugin::HostWord;

VELA_EXPORT std::int32_t VELA_CDECL FontBegin(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 16);
  const auto face = args.String();
  const std::int32_t height = args.Int();
  GrowBuffer<char> faceName;
  vela::plugin::ToCodePage(face, faceName);
  vela::Vela3D::TextBegin(CString(faceName), height);  // the host is not told
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL FontDraw(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 28);
  const std::int32_t x = args.Int();
  const std::int32_t y = args.Int();
  const auto textColour = static_cast<COLORREF>(args.Int());
  const auto backgroundColour = static_cast<COLORREF>(args.Int());
  const auto text = args.String();
  GrowBuffer<char> converted;
  vela::plugin::ToCodePage(text, converted);
  vela::Vela3D::TextDraw(x, y, textColour, backgroundColour, "%s", CString(converted));
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL FontEnd(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 0);
  vela::Vela3D::TextEnd();
  return args.Return();
}
