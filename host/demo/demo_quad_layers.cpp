#include "host/demo/demo_quad_layers.h"

#include "host/demo/demo_rects.h"

namespace vela::demo {

namespace {

constexpr Point kShadowOffset = {10, 18};  // the light comes from the upper left
constexpr float kReticleSize = 60;
constexpr float kReticleThickness = 3;

}  // namespace

void DrawBackdrop(DemoPlugin& plugin, const DemoTextures& textures, float width, float height) {
  plugin.SetBlendingType(Blending::kOpaque);
  plugin.TextureDraw(textures.backdrop, {0, 0, width, height}, {0, 0, float(kBackdropSize), float(kBackdropSize)});
}

void DrawShipShadow(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world) {
  const Point ship = world.ShipState().position;
  plugin.SetBlendingType(Blending::kMultiply);
  plugin.TextureDraw(textures.sprites, Centred({ship.x + kShadowOffset.x, ship.y + kShadowOffset.y}, DemoWorld::kShipSize),
                     Source(kShadowPicture));
}

void DrawMines(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world) {
  plugin.SetBlendingType(Blending::kAlpha);
  for (const Mine& mine : world.Mines()) {
    plugin.TextureDrawRotate(textures.sprites, Centred(mine.centre, DemoWorld::kMineSize), Source(kMinePicture),
                             mine.angle);
  }
}

void DrawShip(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world) {
  const Ship& ship = world.ShipState();
  plugin.SetBlendingType(Blending::kAlpha);
  plugin.TextureDrawRotate(textures.sprites, Centred(ship.position, DemoWorld::kShipSize), Source(kShipPicture),
                           ship.heading);
}

// A square frame around the mine that inverts the colours below it.
void DrawReticle(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world) {
  const Point centre = world.NearestMine().centre;
  const float left = centre.x - kReticleSize / 2, top = centre.y - kReticleSize / 2;
  const float inner = kReticleSize - 2 * kReticleThickness;
  const Rect sides[4] = {{left, top, kReticleSize, kReticleThickness},
                         {left, top + kReticleSize - kReticleThickness, kReticleSize, kReticleThickness},
                         {left, top + kReticleThickness, kReticleThickness, inner},
                         {left + kReticleSize - kReticleThickness, top + kReticleThickness, kReticleThickness, inner}};
  plugin.SetBlendingType(Blending::kInvert);
  for (const Rect& side : sides) plugin.TextureDraw(textures.sprites, side, Source(kWhitePicture));
}

}  // namespace vela::demo
