// An exception stopped at an export, in the native build: it has no library log, so the line
// goes to standard error.
#include <cstdio>

#include "plugin/export_call.h"

namespace vela::plugin {

void LogEscapedException(const char* exportName, const char* thrown) noexcept {
  std::fprintf(stderr, kEscapedExceptionFormat, exportName, thrown);
  std::fputc('\n', stderr);
}

}  // namespace vela::plugin
