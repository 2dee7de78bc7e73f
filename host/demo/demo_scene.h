// What the demo draws at a given moment: a background colour and bars that slide to and fro
// while their colours cycle. Free of Win32; the sine comes from the caller (the demo passes the
// plug-in's MathSin, so the animation also exercises that export).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vela::demo {

// Sine of a table angle: 65536 units per turn.
using SineFunction = std::function<float(std::int32_t angle)>;

struct Bar {
  std::int32_t x, y, width, height;
  std::uint32_t colour;  // A8R8G8B8
};

struct Scene {
  std::uint32_t background;  // A8R8G8B8
  std::vector<Bar> bars;     // drawn in order, each inside the client area
};

Scene SceneAt(double seconds, std::int32_t clientWidth, std::int32_t clientHeight, const SineFunction& sine);

}  // namespace vela::demo
