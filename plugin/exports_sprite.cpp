// SpriteCreate, SpriteAttatchTexture, SpriteResetBuffer, SpriteDrawSquare, SpriteDrawList,
// SpriteUpdateBuffer and SpriteRendering: batched, depth-sorted sprites, forwarded to
// VelaSprite. A sprite handle of 0 does nothing. SpriteRelease is TextureRelease under another
// name (velaplugin.def).
#include <windows.h>

#include "graphics/rect_2d.h"
#include "image/texture.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"
#include "plugin/host_objects.h"
#include "sprite/sprite_2d.h"
#include "sprite/vela_sprite.h"

using vela::plugin::ArgumentReader;
using vela::plugin::FromHandle;
using vela::plugin::HostWord;
using vela::plugin::ReadRect;
using vela::plugin::WriteHandle;

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;
// Sprites made by the host: texture-coordinate pairs for one stage, sorted by depth.
constexpr std::uint32_t kHostVertexType = 1;
constexpr bool kHostSortByDepth = true;

}  // namespace

VELA_EXPORT std::int32_t VELA_CDECL SpriteCreate(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 8);
  const vela::plugin::HostVariable handle = args.Ref();
  const auto capacity = static_cast<std::uint32_t>(args.Int());
  vela::CSprite2D* sprite = vela::VelaSprite::Create(capacity, kHostVertexType, kHostSortByDepth);
  WriteHandle(handle, sprite);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SpriteAttatchTexture(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 8);
  auto* sprite = FromHandle<vela::CSprite2D>(args.Handle());
  auto* texture = FromHandle<vela::CTexture>(args.Handle());
  vela::VelaSprite::AttatchTexture(sprite, 0, texture);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SpriteResetBuffer(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::VelaSprite::ResetBuffer(FromHandle<vela::CSprite2D>(args.Handle()));
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SpriteDrawSquare(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 40);
  auto* sprite = FromHandle<vela::CSprite2D>(args.Handle());
  const vela::Rect2D destination = ReadRect(args.InPlace(16));
  const float z = args.Float();
  const vela::Rect2D source = ReadRect(args.InPlace(16));
  vela::VelaSprite::DrawSquare(sprite, destination, z, &source, kOpaqueWhite, 1);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SpriteDrawList(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 96);
  auto* sprite = FromHandle<vela::CSprite2D>(args.Handle());
  vela::RibbonPoints points{};
  points.x = args.Array();
  points.y = args.Array();
  points.z = args.Array();
  points.halfWidth = args.Array();
  points.angle = args.Array();
  points.colour = args.Array();
  points.count = args.Int();
  const vela::Rect2D source = ReadRect(args.InPlace(16));
  vela::VelaSprite::DrawList(sprite, points, source);
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SpriteUpdateBuffer(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::VelaSprite::UpdateBuffer(FromHandle<vela::CSprite2D>(args.Handle()));
  return args.Return();
}

VELA_EXPORT std::int32_t VELA_CDECL SpriteRendering(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  vela::VelaSprite::Rendering(FromHandle<vela::CSprite2D>(args.Handle()));
  return args.Return();
}
