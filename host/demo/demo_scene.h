// One frame of the demo game, back to front: the backdrop, the ship's shadow, the rock field,
// the trail, the mines, the ship, the reticle, the radar, and the text over it all. Each layer
// sets the blending type it needs.
#pragma once

#include "host/demo/demo_hud.h"
#include "host/demo/demo_plugin.h"
#include "host/demo/demo_sprite_layers.h"
#include "host/demo/demo_textures.h"
#include "host/demo/demo_world.h"

namespace vela::demo {

class DemoScene {
 public:
  DemoScene(DemoPlugin& plugin, const DemoTextures& textures, float width, float height);

  void Draw(const DemoWorld& world, double framesPerSecond);

 private:
  void DrawRadar(const DemoWorld& world);

  DemoPlugin& plugin_;
  DemoTextures textures_;
  SpriteLayers sprites_;
  float width_, height_;
};

}  // namespace vela::demo
