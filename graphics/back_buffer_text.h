// Back-buffer text: plain GDI text written straight onto Vela3D's lockable back buffer, and
// direct pixel access to that back buffer.
//
//   TextBegin(face, height)   GetDC on the back buffer, a fixed-pitch Shift-JIS font selected
//   TextDraw(x, y, ...)       one line in opaque mode: text colour on background colour
//   TextEnd()                 the previous font back, the font deleted, the context released
//
// All of one bracket lies between two presents; while it is open the back buffer belongs to
// GDI and must not be drawn to with Direct3D. Only one bracket is open at a time: a begin while
// one is open answers false and changes nothing, and draws and ends outside a bracket are
// ignored. Colours are GDI COLORREFs (0x00BBGGRR); positions are back-buffer pixels, the
// top-left corner of the text cell. Neither the bracket nor the lock may stay open across a
// device reset.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <cstdint>

namespace vela::Vela3D {

// `face` and the drawn text are in the system code page. False when the back buffer cannot
// give a device context (none, in use, not lockable) or a bracket is open already.
bool TextBegin(const char* face, std::int32_t height);
// printf-style; the result is cut to 1023 bytes. Callers with text of their own pass it as an
// argument ("%s"), never as the format.
void TextDraw(std::int32_t x, std::int32_t y, COLORREF textColour, COLORREF backgroundColour, const char* format,
              ...);
void TextEnd();
bool TextIsOpen();

// Locks the whole back buffer; null out-values are not written. A second lock answers true at
// once without writing them.
bool LockBackBuffer(void** bits, std::uint32_t* pitch, D3DFORMAT* format, std::uint32_t* width,
                    std::uint32_t* height);
void UnlockBackBuffer();  // one unlock ends any number of locks

}  // namespace vela::Vela3D
