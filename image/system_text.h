// File names arrive from the host in the system code page, but every text the log receives is
// UTF-8. SystemTextUtf8 holds one such name converted for a log line; a name that cannot be
// converted logs as "?" rather than as bytes the log would misread.
#pragma once

#include <cstddef>

namespace vela {

class SystemTextUtf8 {
 public:
  explicit SystemTextUtf8(const char* systemText);
  const char* c_str() const { return text_; }

 private:
  // A path of 260 system code-page bytes grows to at most three UTF-8 bytes per byte.
  char text_[260 * 3 + 1];
};

}  // namespace vela
