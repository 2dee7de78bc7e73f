#include "graphics/back_buffer_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/com_ptr.h"
#include "graphics/vela3d.h"

namespace vela::Vela3D {
namespace {

constexpr std::size_t kTextBufferBytes = 1024;

struct BackBufferAccess {
  HDC context = nullptr;
  HFONT font = nullptr;
  HGDIOBJ previousFont = nullptr;
  bool backBufferLocked = false;
};

BackBufferAccess g_access;

}  // namespace

bool TextBegin(const char* face, std::int32_t height) {
  if (g_access.context) return false;
  IDirect3DSurface9* backBuffer = BackBuffer();
  HDC context = nullptr;
  if (!backBuffer || FAILED(backBuffer->GetDC(&context))) return false;
  g_access.context = context;
  g_access.font = CreateFontA(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_TT_PRECIS,
                            CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_MODERN, face ? face : "");
  g_access.previousFont = SelectObject(context, g_access.font);
  return true;
}

void TextDraw(std::int32_t x, std::int32_t y, COLORREF textColour, COLORREF backgroundColour, const char* format,
              ...) {
  if (!g_access.context || !format) return;
  char text[kTextBufferBytes] = {};
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  SetBkColor(g_access.context, backgroundColour);
  SetBkMode(g_access.context, OPAQUE);
  SetTextColor(g_access.context, textColour);
  TextOutA(g_access.context, x, y, text, static_cast<int>(std::strlen(text)));
}

void TextEnd() {
  if (!g_access.context) return;
  SelectObject(g_access.context, g_access.previousFont);
  if (g_access.font) DeleteObject(g_access.font);
  // The back buffer that gave the context; after a reset it would be another surface.
  if (IDirect3DSurface9* backBuffer = BackBuffer()) backBuffer->ReleaseDC(g_access.context);
  g_access = BackBufferAccess{.backBufferLocked = g_access.backBufferLocked};
}

bool TextIsOpen() { return g_access.context != nullptr; }

bool LockBackBuffer(void** bits, std::uint32_t* pitch, D3DFORMAT* format, std::uint32_t* width,
                    std::uint32_t* height) {
  if (g_access.backBufferLocked) return true;
  IDirect3DDevice9* device = Device();
  ComPtr<IDirect3DSurface9> surface;
  if (!device || FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, surface.Out()))) return false;
  D3DSURFACE_DESC desc = {};
  surface->GetDesc(&desc);
  if (format) *format = desc.Format;
  if (width) *width = desc.Width;
  if (height) *height = desc.Height;
  D3DLOCKED_RECT locked = {};
  g_access.backBufferLocked = SUCCEEDED(surface->LockRect(&locked, nullptr, 0));
  if (g_access.backBufferLocked) {
    if (bits) *bits = locked.pBits;
    if (pitch) *pitch = static_cast<std::uint32_t>(locked.Pitch);
  }
  return g_access.backBufferLocked;  // the lock outlives the reference
}

void UnlockBackBuffer() {
  if (!g_access.backBufferLocked) return;
  IDirect3DDevice9* device = Device();
  ComPtr<IDirect3DSurface9> surface;
  if (!device || FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, surface.Out()))) return;
  surface->UnlockRect();
  g_access.backBufferLocked = false;
}

}  // namespace vela::Vela3D
