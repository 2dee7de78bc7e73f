#include "host/demo/demo_scene.h"

#include "host/demo/demo_quad_layers.h"

namespace vela::demo {

namespace {

constexpr std::uint32_t kBackground = 0xFF000010;
constexpr std::uint32_t kRadarFrame = 0xFF40C060;
constexpr std::uint32_t kRadarGround = 0xFF08200E;
constexpr std::int32_t kRadarWidth = 160;
constexpr std::int32_t kRadarHeight = 120;
constexpr std::int32_t kRadarMargin = 10;
// Sources move this far inward at every edge, so that filtering never picks up the atlas's
// neighbouring pictures.
constexpr float kAtlasInset = 0.5f;

}  // namespace

DemoScene::DemoScene(DemoPlugin& plugin, const DemoTextures& textures, float width, float height)
    : plugin_(plugin), textures_(textures), sprites_(plugin, textures), width_(width), height_(height) {
  plugin_.SetOffsetUV(kAtlasInset);
}

void DemoScene::Draw(const DemoWorld& world, double framesPerSecond) {
  if (plugin_.BeginScene()) {
    plugin_.Clear(kBackground);
    DrawBackdrop(plugin_, textures_, width_, height_);
    DrawShipShadow(plugin_, textures_, world);
    plugin_.SetBlendingType(Blending::kAlpha);
    sprites_.DrawRocks(world);
    plugin_.SetBlendingType(Blending::kAddAlpha);
    sprites_.DrawTrail(world);
    DrawMines(plugin_, textures_, world);
    DrawShip(plugin_, textures_, world);
    DrawReticle(plugin_, textures_, world);
    DrawRadar(world);
  }
  plugin_.EndScene();  // also after a failed begin: the scene depth counts it
  DrawHud(plugin_, world, framesPerSecond, height_);
  plugin_.Refresh();
}

// A framed panel in the top right corner, and the radar's blips glowing over it.
void DemoScene::DrawRadar(const DemoWorld& world) {
  const RadarPanel panel = {static_cast<std::int32_t>(width_) - kRadarWidth - kRadarMargin, kRadarMargin, kRadarWidth,
                            kRadarHeight};
  plugin_.ColorFill(panel.x - 2, panel.y - 2, panel.width + 4, panel.height + 4, kRadarFrame);
  plugin_.ColorFill(panel.x, panel.y, panel.width, panel.height, kRadarGround);
  plugin_.SetBlendingType(Blending::kAdd);
  sprites_.DrawRadar(world, panel);
}

}  // namespace vela::demo
