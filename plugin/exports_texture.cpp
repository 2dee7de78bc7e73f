// TextureLoad, TextureDraw, TextureDrawRotate, TextureRelease and SetOffsetUV: textures loaded
// from image files and drawn as one quad each, straight to the device. TextureRelease gives
// back any library object handle, so SurfaceRelease and SpriteRelease are the same function
// under other names (export_table.h).
#include <windows.h>

#include "core/base_object.h"
#include "graphics/format_kind.h"
#include "graphics/rect_2d.h"
#include "image/texture.h"
#include "image/vela_texture.h"
#include "plugin/export_call.h"
#include "plugin/host_objects.h"
#include "plugin/text_conversion.h"

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;

}  // namespace

VELA_EXPORT_BODY(TextureLoad)(HostVariable handle, HostStringView name) -> void {
  GrowBuffer<char> fileName;
  ToCodePage(name, fileName);
  WriteHandle(handle, VelaTexture::Load(CString(fileName), FORMAT_TEXTURE_COMPRESSED, 0), kTextures);
}

VELA_EXPORT_BODY(TextureDraw)(HostHandle<kTextures> texture, std::byte* destination, std::byte* source) -> void {
  const Rect2D to = ReadRect(destination);
  const Rect2D from = ReadRect(source);
  VelaTexture::Draw(ObjectOf<CTexture>(texture), &to, &from, kOpaqueWhite);
}

VELA_EXPORT_BODY(TextureDrawRotate)(HostHandle<kTextures> texture, std::byte* destination, std::byte* source,
                                    std::int32_t angle) -> void {
  const Rect2D to = ReadRect(destination);
  const Rect2D from = ReadRect(source);
  VelaTexture::DrawRotate(ObjectOf<CTexture>(texture), &to, &from, kOpaqueWhite, angle, 0, 0);
}

// Any object the library handed out: textures, surfaces and sprites alike.
// The host gives back one reference it holds; a handle given back already does nothing.
VELA_EXPORT_BODY(TextureRelease)(HostHandle<kTextures | kSurfaces | kSprites> object) -> void {
  if (Handles().GiveBack(object.word)) ReleaseObject(ObjectOf<CBaseObject>(object));
}

VELA_EXPORT_BODY(SetOffsetUV)(float inset) -> void { VelaTexture::SetOffsetUV(inset); }
