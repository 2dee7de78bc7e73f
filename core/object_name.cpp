#include "core/object_name.h"

#include <cstring>

namespace vela {
namespace {

// Not std::tolower: its answer depends on the C locale and it is undefined for negative chars.
constexpr unsigned char FoldAscii(unsigned char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

void CopyObjectName(char (&name)[kObjectNameSize], const char* text) {
  std::size_t length = 0;
  if (text) {
    while (length < kObjectNameSize - 1 && text[length] != '\0') ++length;
    std::memcpy(name, text, length);
  }
  name[length] = '\0';
}

bool SameObjectName(const char* a, const char* b) {
  if (!a) a = "";
  if (!b) b = "";
  for (;; ++a, ++b) {
    const unsigned char left = FoldAscii(static_cast<unsigned char>(*a));
    if (left != FoldAscii(static_cast<unsigned char>(*b))) return false;
    if (left == '\0') return true;
  }
}

}  // namespace vela
