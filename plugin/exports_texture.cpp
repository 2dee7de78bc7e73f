// TextureLoad, TextureDraw, TextureDrawRotate, TextureRelease and SetOffsetUV: textures loaded
// from image files and drawn as one quad each, straight to the device. TextureRelease gives
// back any library object handle, so SurfaceRelease and SpriteRelease are the same function
// under other names (velaplugin.def).
#include <windows.h>

#include "core/base_object.h"
#include "graphics/format_kind.h"
#include "graphics/rect_2d.h"
#include "image/texture.h"
#include "image/vela_texture.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/host_objects.h"
#include "plugin/text_conversion.h"

using vela::plugin::ArgumentReader;
using vela::plugin::FromHandle;
using vela::plugin::GrowBuffer;
using vela::plugin::HostWord;
using vela::plugin::ReadRect;
using vela::plugin::WriteHandle;

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;

}  // namespace

VELA_EXPORT std::int32_t VELA_CDECL TextureLoad(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 16);
  const vela::plugin::HostVariable handle = args.Ref();
  const auto name = args.String();
  GrowBuffer<char> fileName;
  vela::plugin::ToCodePage(name, fileName);
  vela::CTexture* texture = vela::VelaTexture::Load(CString(fileName), vela::FORMAT_TEXTURE_COMPRESSED, 0);
  WriteHandle(handle, texture);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL TextureDraw(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 36);
  auto* texture = FromHandle<vela::CTexture>(args.Handle());
  const vela::Rect2D destination = ReadRect(args.InPlace(16));
  const vela::Rect2D source = ReadRect(args.InPlace(16));
  vela::VelaTexture::Draw(texture, &destination, &source, kOpaqueWhite);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL TextureDrawRotate(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 40);
  auto* texture = FromHandle<vela::CTexture>(args.Handle());
  const vela::Rect2D destination = ReadRect(args.InPlace(16));
  const vela::Rect2D source = ReadRect(args.InPlace(16));
  const std::int32_t angle = args.Int();
  vela::VelaTexture::DrawRotate(texture, &destination, &source, kOpaqueWhite, angle, 0, 0);
  return args.Return();
}

// Any object the library handed out: textures, surfaces and sprites alike.
VELA_EXPORT std::int32_t VELA_CDECL TextureRelease(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::ReleaseObject(FromHandle<vela::CBaseObject>(args.Handle()));
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SetOffsetUV(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::VelaTexture::SetOffsetUV(args.Float());
  return args.Return();
}
