// The demo's three textures, loaded through TextureLoad from files beside the executable that
// the build made: a JPEG, a PNG, and a PNG packed by `vela-archive compress` into an LZSS file
// (the file service unpacks LZSS behind TextureLoad; PACK archives cannot be reached through
// the exports, since nothing the host calls fills the file service's search slots).
#pragma once

#include <cstdint>

#include "host/demo/demo_plugin.h"

namespace vela::demo {

struct DemoTextures {
  std::uint32_t backdrop = 0;  // demo_backdrop.jpg
  std::uint32_t sprites = 0;   // demo_sprites.png
  std::uint32_t rocks = 0;     // demo_rocks.lzss

  bool AllLoaded() const { return backdrop != 0 && sprites != 0 && rocks != 0; }
};

// Loads them and prints one line each saying whether it loaded.
DemoTextures LoadDemoTextures(DemoPlugin& plugin);
void ReleaseDemoTextures(DemoPlugin& plugin, const DemoTextures& textures);

}  // namespace vela::demo
