// The text over the game, written with FontDraw onto the back buffer after the scene: the
// frame rate, the rocks bumped, the keys, and where the rock texture came from. The frame rate
// is counted over the last half second or more.
#pragma once

#include "host/demo/demo_plugin.h"
#include "host/demo/demo_world.h"

namespace vela::demo {

class FrameRateMeter {
 public:
  // One frame shown at `seconds`.
  void Tick(double seconds);
  double PerSecond() const { return perSecond_; }

 private:
  double windowStart_ = 0;
  int framesInWindow_ = 0;
  double perSecond_ = 0;
};

void DrawHud(DemoPlugin& plugin, const DemoWorld& world, double framesPerSecond, float height);

}  // namespace vela::demo
