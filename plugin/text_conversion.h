// The string conversions that string-taking exports make before they call the library:
// ToCodePage for file names, font faces and drawn text (the calling thread's ANSI code page),
// ToWideZ for the window title. Both produce NUL-terminated text in a GrowBuffer that lives for
// the one export call.
#pragma once

#include <cstdint>

#include "plugin/argument_block.h"
#include "plugin/grow_buffer.h"

namespace vela::plugin {

// Converts `units` UTF-16 code units into at most `outBytes` bytes of `out`, or with `out` null
// answers the size needed; writes no terminator; answers 0 when it cannot convert.
using NarrowFunction = std::int32_t (*)(const char16_t* text, std::int32_t units, char* out,
                                        std::int32_t outBytes);

// The calling thread's ANSI code page on Windows; 7-bit ASCII (others as '?') elsewhere.
NarrowFunction SystemNarrow();

// Always leaves NUL-terminated text in `out` (empty when the text cannot be converted), unless
// the heap refuses the buffer: then it answers false and CString() gives "".
bool ToCodePage(HostStringView text, GrowBuffer<char>& out, NarrowFunction narrow = SystemNarrow());
bool ToWideZ(HostStringView text, GrowBuffer<char16_t>& out);

// The buffer's text, or "" when the conversion could not produce one.
inline const char* CString(GrowBuffer<char>& converted) {
  return converted.Count() > 0 ? converted.Data() : "";
}
inline const char16_t* CString(GrowBuffer<char16_t>& converted) {
  return converted.Count() > 0 ? converted.Data() : u"";
}

}  // namespace vela::plugin
