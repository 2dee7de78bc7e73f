// SurfaceLoad and SurfaceCopyToBG: whole pictures loaded into surfaces of the back buffer's
// format and stretched over the whole back buffer. SurfaceRelease is TextureRelease under a
// second name (export_table.h).
#include <windows.h>

#include "graphics/format_kind.h"
#include "image/surface.h"
#include "image/vela_surface.h"
#include "plugin/export_call.h"
#include "plugin/host_objects.h"
#include "plugin/text_conversion.h"

VELA_EXPORT_BODY(SurfaceLoad)(HostVariable handle, HostStringView name) -> void {
  GrowBuffer<char> fileName;
  ToCodePage(name, fileName);
  WriteHandle(handle, VelaSurface::Load(CString(fileName), FORMAT_BACKBUFFER), kSurfaces);
}

VELA_EXPORT_BODY(SurfaceCopyToBG)(HostHandle<kSurfaces> surface) -> void {
  VelaSurface::CopyToBackBuffer(nullptr, ObjectOf<CSurface>(surface), nullptr);
}
