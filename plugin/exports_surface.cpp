// SurfaceLoad and SurfaceCopyToBG: whole pictures loaded into surfaces of the back buffer's
// format and stretched over the whole back buffer. SurfaceRelease is TextureRelease under a
// second name (velaplugin.def).
#include <windows.h>

#include "core/base_object.h"
#include "graphics/format_kind.h"
#include "image/surface.h"
#include "image/vela_surface.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/text_conversion.h"

using vela::plugin::ArgumentReader;
using vela::plugin::GrowBuffer;
using vela::plugin::HostWord;

VELA_EXPORT std::int32_t VELA_CDECL SurfaceLoad(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 16);
  const vela::plugin::HostVariable handle = args.Ref();
  const auto name = args.String();
  GrowBuffer<char> fileName;
  vela::plugin::ToCodePage(name, fileName);
  vela::CSurface* surface = vela::VelaSurface::Load(CString(fileName), vela::FORMAT_BACKBUFFER);
  HostWord word = 0;
  if (surface && !vela::plugin::ToHostWord(surface, word)) {
    surface->Release();  // a handle the host could not hold
    word = 0;
  }
  handle.Write(word);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SurfaceCopyToBG(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  auto* surface = reinterpret_cast<vela::CSurface*>(vela::plugin::HostPointer(args.Handle()));
  vela::VelaSurface::CopyToBackBuffer(nullptr, surface, nullptr);
  return args.Return();
}
