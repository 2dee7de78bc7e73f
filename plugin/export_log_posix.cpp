// What the export guard reports (an exception stopped, a handle refused), in the native build:
// it has no library log, so the lines go to standard error.
#include <cstdio>

#include "plugin/export_call.h"

namespace vela::plugin {

void LogEscapedException(const char* exportName, const char* thrown) noexcept {
  std::fprintf(stderr, kEscapedExceptionFormat, exportName, thrown);
  std::fputc('\n', stderr);
}

void LogRefusedHandle(const char* exportName, HostWord handle) noexcept {
  std::fprintf(stderr, kRefusedHandleFormat, exportName, static_cast<unsigned>(handle));
  std::fputc('\n', stderr);
}

}  // namespace vela::plugin
