// The error box: a printf-style message box owned by the main window, shown for start-up
// failures. Formats are UTF-8 in the sources.
#pragma once

namespace vela {

void ErrorBox(unsigned type, const char* caption, const char* format, ...);

}  // namespace vela
