// SpriteCreate, SpriteAttatchTexture, SpriteResetBuffer, SpriteDrawSquare, SpriteDrawList,
// SpriteUpdateBuffer and SpriteRendering: batched, depth-sorted sprites, forwarded to
// VelaSprite. A sprite handle of 0 does nothing. SpriteRelease is TextureRelease under another
// name (export_table.h).
#include <windows.h>

#include "graphics/rect_2d.h"
#include "image/texture.h"
#include "plugin/export_call.h"
#include "plugin/host_objects.h"
#include "sprite/sprite_2d.h"
#include "sprite/vela_sprite.h"

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFF;
// Sprites made by the host: texture-coordinate pairs for one stage, sorted by depth.
constexpr std::uint32_t kHostVertexType = 1;
constexpr bool kHostSortByDepth = true;

}  // namespace

VELA_EXPORT_BODY(SpriteCreate)(HostVariable handle, std::int32_t capacity) -> void {
  WriteHandle(handle, VelaSprite::Create(static_cast<std::uint32_t>(capacity), kHostVertexType, kHostSortByDepth), kSprites);
}

VELA_EXPORT_BODY(SpriteAttatchTexture)(HostHandle<kSprites> sprite, HostHandle<kTextures> texture) -> void {
  VelaSprite::AttatchTexture(ObjectOf<CSprite2D>(sprite), 0, ObjectOf<CTexture>(texture));
}

VELA_EXPORT_BODY(SpriteResetBuffer)(HostHandle<kSprites> sprite) -> void {
  VelaSprite::ResetBuffer(ObjectOf<CSprite2D>(sprite));
}

VELA_EXPORT_BODY(SpriteDrawSquare)(HostHandle<kSprites> sprite, std::byte* destination, float z, std::byte* source) -> void {
  const Rect2D from = ReadRect(source);
  VelaSprite::DrawSquare(ObjectOf<CSprite2D>(sprite), ReadRect(destination), z, &from, kOpaqueWhite, 1);
}

VELA_EXPORT_BODY(SpriteDrawList)(HostHandle<kSprites> sprite, std::byte* x, std::byte* y, std::byte* z, std::byte* halfWidth,
                                 std::byte* angle, std::byte* colour, std::int32_t count, std::byte* source)
    -> void {
  const RibbonPoints points{x, y, z, halfWidth, angle, colour, count};
  VelaSprite::DrawList(ObjectOf<CSprite2D>(sprite), points, ReadRect(source));
}

VELA_EXPORT_BODY(SpriteUpdateBuffer)(HostHandle<kSprites> sprite) -> void {
  VelaSprite::UpdateBuffer(ObjectOf<CSprite2D>(sprite));
}

VELA_EXPORT_BODY(SpriteRendering)(HostHandle<kSprites> sprite) -> void { VelaSprite::Rendering(ObjectOf<CSprite2D>(sprite)); }
