#include <windows.h>

#include <iterator>

#include "image/system_text.h"

namespace vela {

SystemTextUtf8::SystemTextUtf8(const char* systemText) {
  text_[0] = '\0';
  if (!systemText || systemText[0] == '\0') return;
  wchar_t wide[261];
  const int units = MultiByteToWideChar(CP_ACP, 0, systemText, -1, wide, static_cast<int>(std::size(wide)));
  const int bytes =
      units > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, -1, text_, static_cast<int>(sizeof text_), nullptr, nullptr)
                : 0;
  if (bytes <= 0) {
    text_[0] = '?';
    text_[1] = '\0';
  }
}

}  // namespace vela
