#include <windows.h>

#include <string>

#include "core/system_text.h"

namespace vela {
namespace {

// The text in UTF-16, sized by a first call; empty when it cannot be converted.
std::wstring ToWide(const char* systemText) {
  const int units = MultiByteToWideChar(CP_ACP, 0, systemText, -1, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, systemText, -1, wide.data(), units) != units) return {};
  wide.resize(static_cast<std::size_t>(units) - 1);
  return wide;
}

std::string ToUtf8(const std::wstring& wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  if (WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), bytes, nullptr, nullptr) != bytes) return {};
  utf8.resize(static_cast<std::size_t>(bytes) - 1);
  return utf8;
}

}  // namespace

SystemTextUtf8::SystemTextUtf8(const char* systemText) {
  if (!systemText || systemText[0] == '\0') return;
  text_ = ToUtf8(ToWide(systemText));
  if (text_.empty()) text_ = "?";
}

}  // namespace vela
