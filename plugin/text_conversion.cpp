#include "plugin/text_conversion.h"

namespace vela::plugin {

bool ToCodePage(HostStringView text, GrowBuffer<char>& out, NarrowFunction narrow) {
  out.SetCount(0);
  std::int32_t bytes = text.units > 0 ? narrow(text.text, text.units, nullptr, 0) : 0;
  if (bytes < 0) bytes = 0;
  if (bytes > 0) {
    if (!out.Reserve(bytes)) return false;
    // The second call writes what the first measured; a shorter answer means it failed midway.
    const std::int32_t written = narrow(text.text, text.units, out.Data(), bytes);
    out.SetCount(written == bytes ? bytes : 0);
  }
  return out.Push('\0');
}

bool ToWideZ(HostStringView text, GrowBuffer<char16_t>& out) {
  out.SetCount(0);
  return out.Append(text.text, text.units) && out.Push(u'\0');
}

}  // namespace vela::plugin
