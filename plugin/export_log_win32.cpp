// What the export guard reports (an exception stopped, a handle refused), as one red entry each
// in the library's log.
#include "core/vela_debug.h"
#include "plugin/export_call.h"

namespace vela::plugin {

void LogEscapedException(const char* exportName, const char* thrown) noexcept {
  LogRed(kEscapedExceptionFormat, exportName, thrown);
  LogBreak();
}

void LogRefusedHandle(const char* exportName, HostWord handle) noexcept {
  LogRed(kRefusedHandleFormat, exportName, static_cast<unsigned>(handle));
  LogBreak();
}

}  // namespace vela::plugin
