// The demo's three textures, loaded through TextureLoad from demo.pak, the PACK archive that the
// demo's settings file (velaplugin.ini beside it) names: a JPEG, a PNG, and a TGA that the
// archive holds as an LZSS block (the file service unpacks it behind TextureLoad).
#pragma once

#include <cstdint>

#include "host/demo/demo_plugin.h"

namespace vela::demo {

struct DemoTextures {
  std::uint32_t backdrop = 0;  // demo_backdrop.jpg
  std::uint32_t sprites = 0;   // demo_sprites.png
  std::uint32_t rocks = 0;     // demo_rocks.tga

  bool AllLoaded() const { return backdrop != 0 && sprites != 0 && rocks != 0; }
};

// Loads them and prints one line each saying whether it loaded.
DemoTextures LoadDemoTextures(DemoPlugin& plugin);
void ReleaseDemoTextures(DemoPlugin& plugin, const DemoTextures& textures);

}  // namespace vela::demo
