// A test-only stand-in for the few library-core services that Vela3D calls (log, error box,
// screen size, scale factors), so that the graphics tests run Vela3D on a window of their own
// without booting the library. The log is kept as text; error boxes are recorded, never shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vela::test {

struct RecordedErrorBox {
  unsigned type;
  std::string caption;
  std::string text;
};

void SetScreen(HWND window, int width, int height, bool windowed);
const std::string& LoggedText();  // every entry, "\n" for each break
void ClearLog();
const std::vector<RecordedErrorBox>& ErrorBoxes();

}  // namespace vela::test
