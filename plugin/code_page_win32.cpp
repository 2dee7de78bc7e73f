#include <windows.h>

#include "plugin/text_conversion.h"

namespace vela::plugin {
namespace {

std::int32_t NarrowToThreadCodePage(const char16_t* text, std::int32_t units, char* out,
                                    std::int32_t outBytes) {
  return WideCharToMultiByte(CP_THREAD_ACP, 0, reinterpret_cast<LPCWCH>(text), units, out,
                             out ? outBytes : 0, nullptr, nullptr);
}

}  // namespace

NarrowFunction SystemNarrow() { return &NarrowToThreadCodePage; }

}  // namespace vela::plugin
