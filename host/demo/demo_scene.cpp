#include "host/demo/demo_scene.h"

#include <algorithm>
#include <cmath>

namespace vela::demo {

namespace {

constexpr std::int32_t kTurn = 65536;
constexpr int kHorizontalBars = 6;
constexpr int kVerticalBars = 3;

std::int32_t AngleAt(double turns) {
  return static_cast<std::int32_t>(std::fmod(turns, 1.0) * kTurn) & (kTurn - 1);
}

std::uint8_t Channel(float sine, int low, int high) {
  const float level = low + (high - low) * (sine + 1.0f) * 0.5f;
  return static_cast<std::uint8_t>(std::clamp(level, 0.0f, 255.0f));
}

std::uint32_t Opaque(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return 0xFF000000u | std::uint32_t{red} << 16 | std::uint32_t{green} << 8 | blue;
}

// A bright colour whose hue runs once round the circle per turn.
std::uint32_t Hue(double turns, const SineFunction& sine) {
  return Opaque(Channel(sine(AngleAt(turns)), 40, 255), Channel(sine(AngleAt(turns + 1.0 / 3)), 40, 255),
                Channel(sine(AngleAt(turns + 2.0 / 3)), 40, 255));
}

}  // namespace

Scene SceneAt(double seconds, std::int32_t clientWidth, std::int32_t clientHeight, const SineFunction& sine) {
  Scene scene;
  // A dark background that drifts slowly between blue and purple.
  scene.background = Opaque(Channel(sine(AngleAt(seconds / 8)), 10, 60), 16, Channel(sine(AngleAt(seconds / 6)), 40, 90));

  // Horizontal bars sliding left and right, each a little behind the one above.
  const std::int32_t rowHeight = clientHeight / (kHorizontalBars + 1);
  const std::int32_t barWidth = clientWidth / 3;
  const std::int32_t travel = (clientWidth - barWidth) / 2;
  for (int i = 0; i < kHorizontalBars; ++i) {
    const double phase = seconds / 2.5 + i / 12.0;
    const auto offset = static_cast<std::int32_t>(travel * sine(AngleAt(phase)));
    scene.bars.push_back(Bar{travel + offset, rowHeight / 2 + i * rowHeight, barWidth, rowHeight * 2 / 3,
                             Hue(seconds / 4 + i / double(kHorizontalBars), sine)});
  }

  // Narrow vertical bars sweeping across on top of them.
  const std::int32_t stripeWidth = std::max(clientWidth / 40, 1);
  for (int i = 0; i < kVerticalBars; ++i) {
    const double phase = seconds / 3 + i / double(kVerticalBars);
    const auto x = static_cast<std::int32_t>((clientWidth - stripeWidth) * (sine(AngleAt(phase)) + 1.0f) / 2);
    scene.bars.push_back(Bar{x, 0, stripeWidth, clientHeight, Hue(seconds / 2 + 0.5 + i / 6.0, sine)});
  }
  return scene;
}

}  // namespace vela::demo
