// Texts from the system (file names from the host, the adapter's strings) arrive in the system
// code page, but every text the log receives is UTF-8. SystemTextUtf8 holds one such text
// converted for a log line; a text that cannot be converted logs as "?" rather than as bytes the
// log would misread.
#pragma once

#include <string>

namespace vela {

class SystemTextUtf8 {
 public:
  explicit SystemTextUtf8(const char* systemText);
  const char* c_str() const { return text_.c_str(); }

 private:
  std::string text_;
};

}  // namespace vela
