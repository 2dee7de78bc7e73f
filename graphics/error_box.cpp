// The error box. Texts are UTF-8 in the sources; the box shows them through the wide API so
// that Japanese reads right whatever the system code page.
#include "graphics/error_box.h"

#include <d3d9.h>
#include <imm.h>

#include <cstdarg>
#include <cstdio>

#include "core/vela_core.h"
#include "graphics/vela3d.h"

namespace vela {
namespace {

constexpr std::size_t kMessageBytes = 1024;

// Invalid UTF-8 is shown with replacement characters rather than dropped.
void Utf8ToWide(const char* utf8, wchar_t* out, int outUnits) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out, outUnits);
  if (units <= 0) out[0] = L'\0';
  out[outUnits - 1] = L'\0';
}

}  // namespace

void ErrorBox(unsigned type, const char* caption, const char* format, ...) {
  char message[kMessageBytes];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(message, sizeof message, format, args);
  va_end(args);

  // A UTF-8 byte never becomes more than one UTF-16 unit.
  wchar_t wideMessage[kMessageBytes];
  wchar_t wideCaption[256];
  Utf8ToWide(message, wideMessage, static_cast<int>(kMessageBytes));
  Utf8ToWide(caption ? caption : "", wideCaption, 256);

  // A full-screen device would hide the box.
  IDirect3DDevice9* device = Vela3D::Device();
  if (device) device->SetDialogBoxMode(TRUE);
  MessageBoxW(MainWindow(), wideMessage, wideCaption, type);
  if (device) device->SetDialogBoxMode(FALSE);
  SendMessageA(ImmGetDefaultIMEWnd(MainWindow()), WM_CLOSE, 0, 0);
}

}  // namespace vela
