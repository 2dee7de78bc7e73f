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
#include "plugin/host_objects.h"
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
  vela::plugin::WriteHandle(handle, surface);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SurfaceCopyToBG(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  auto* surface = vela::plugin::FromHandle<vela::CSurface>(args.Handle());
  vela::VelaSurface::CopyToBackBuffer(nullptr, surface, nullptr);
  return args.Return();
}
