// The Direct3D and window types that the object bases name, declared without the Windows
// headers so that the bases build natively. The declarations are those of d3d9.h and of
// windows.h with STRICT (MinGW's default): HWND is HWND__*, an HRESULT travels as ResultCode.
#pragma once

#include "core/error_text.h"

struct IDirect3DBaseTexture9;
struct IDirect3DDevice9;
struct IDirect3DSurface9;
struct HWND__;

namespace vela {

using WindowHandle = HWND__*;

}  // namespace vela
