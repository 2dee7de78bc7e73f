// The parts of the picture drawn through sprites, each a batch filled anew every frame and
// drawn in one call: the rock field (squares at many depths, which the sprite draws far to
// near whatever order they came in), the ship's trail (a ribbon through its last positions)
// and the radar (a small map around the ship, clipped to its panel by SetScissoring).
#pragma once

#include <cstdint>

#include "host/demo/demo_plugin.h"
#include "host/demo/demo_textures.h"
#include "host/demo/demo_world.h"

namespace vela::demo {

// The radar's panel in the window.
struct RadarPanel {
  std::int32_t x, y, width, height;
};

class SpriteLayers {
 public:
  SpriteLayers(DemoPlugin& plugin, const DemoTextures& textures);
  ~SpriteLayers();
  SpriteLayers(const SpriteLayers&) = delete;
  SpriteLayers& operator=(const SpriteLayers&) = delete;

  void DrawRocks(const DemoWorld& world);
  void DrawTrail(const DemoWorld& world);
  void DrawRadar(const DemoWorld& world, const RadarPanel& panel);

 private:
  // Fills the sprite with `fill`, uploads it and draws it.
  template <typename Fill>
  void Draw(std::uint32_t sprite, Fill fill);

  DemoPlugin& plugin_;
  std::uint32_t rocks_ = 0;
  std::uint32_t trail_ = 0;
  std::uint32_t radar_ = 0;
};

}  // namespace vela::demo
