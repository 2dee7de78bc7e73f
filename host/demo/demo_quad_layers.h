// The parts of the picture drawn as single textured quads straight to the device, each with
// the blending type it needs: the backdrop (opaque), the ship's shadow (multiplied into what
// lies below), the spinning mines and the ship (alpha, turned with TextureDrawRotate) and the
// reticle on the nearest mine (inverting what lies below).
#pragma once

#include "host/demo/demo_plugin.h"
#include "host/demo/demo_textures.h"
#include "host/demo/demo_world.h"

namespace vela::demo {

void DrawBackdrop(DemoPlugin& plugin, const DemoTextures& textures, float width, float height);
void DrawShipShadow(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world);
void DrawMines(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world);
void DrawShip(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world);
void DrawReticle(DemoPlugin& plugin, const DemoTextures& textures, const DemoWorld& world);

}  // namespace vela::demo
