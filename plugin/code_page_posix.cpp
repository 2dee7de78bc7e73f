#include "plugin/text_conversion.h"

namespace vela::plugin {
namespace {

// The native build has no Windows code pages; 7-bit ASCII keeps file names and tests working.
std::int32_t NarrowToAscii(const char16_t* text, std::int32_t units, char* out, std::int32_t outBytes) {
  if (!out) return units;
  const std::int32_t n = units < outBytes ? units : outBytes;
  for (std::int32_t i = 0; i < n; ++i) out[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
  return n;
}

}  // namespace

NarrowFunction SystemNarrow() { return &NarrowToAscii; }

}  // namespace vela::plugin
