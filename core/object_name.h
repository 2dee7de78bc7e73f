// Names of library objects: a fixed 260-byte buffer in the system code page, copied with a cut
// at 259 bytes, and compared ignoring the case of the ASCII letters A to Z only (every other
// byte, Shift-JIS lead and trail bytes included, must be equal).
#pragma once

#include <cstddef>

namespace vela {

inline constexpr std::size_t kObjectNameSize = 260;

// Copies `text` (null: empty) into `name`, cut to kObjectNameSize - 1 bytes, always terminated.
void CopyObjectName(char (&name)[kObjectNameSize], const char* text);

// True when both texts are equal apart from the case of ASCII letters; a null text equals only
// the empty text.
bool SameObjectName(const char* a, const char* b);

}  // namespace vela
