// An exception stopped at an export, as one red entry in the library's log.
#include "core/vela_debug.h"
#include "plugin/export_call.h"

namespace vela::plugin {

void LogEscapedException(const char* exportName, const char* thrown) noexcept {
  LogRed(kEscapedExceptionFormat, exportName, thrown);
  LogBreak();
}

}  // namespace vela::plugin
