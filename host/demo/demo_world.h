// The demo game's state, free of Win32 and of the plug-in: a ship that the arrow keys steer
// (flown by an autopilot until the first arrow key), the trail it leaves, rocks falling past
// at different depths (nearer ones bigger and faster; the ship bumps the near ones away) and
// spinning mines drifting across.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace vela::demo {

// A whole number from `lower` to `upper` (the demo passes the plug-in's MathRand).
using RandomFunction = std::function<std::int32_t(std::int32_t lower, std::int32_t upper)>;

inline constexpr std::int32_t kTurn = 65536;      // table angle units in a full turn
inline constexpr float kFarthestDepth = 65534.0f;  // sprite depths run from 0 (near) to this

struct Controls {
  bool left = false, right = false, up = false, down = false;
  bool Any() const { return left || right || up || down; }
};

struct Point {
  float x, y;
};

// The table angle of a direction (0 along +x, growing toward +y).
std::int32_t AngleOf(Point direction);

struct Ship {
  Point position;
  Point velocity;        // pixels per second
  std::int32_t heading;  // table angle the nose points to
};

struct Rock {
  Point centre;
  float depth;  // 0 near to kFarthestDepth far
  float size;   // pixels across
  int picture;  // which of the rock pictures
};

struct Mine {
  Point centre;
  float speed;  // pixels per second, to the right when positive
  std::int32_t angle;
  std::int32_t spin;  // table angle per second
};

class DemoWorld {
 public:
  static constexpr int kRockCount = 18;
  static constexpr int kMineCount = 3;
  static constexpr std::size_t kTrailLength = 32;
  static constexpr float kShipSize = 48;
  static constexpr float kMineSize = 40;

  DemoWorld(float width, float height, RandomFunction random);

  // Moves everything on by `step` seconds; `seconds` is the time since the start.
  void Advance(double seconds, float step, const Controls& controls);

  const Ship& ShipState() const { return ship_; }
  const std::vector<Rock>& Rocks() const { return rocks_; }
  const std::vector<Mine>& Mines() const { return mines_; }
  const std::deque<Point>& Trail() const { return trail_; }  // oldest first
  int Bumps() const { return bumps_; }
  bool OnAutopilot() const { return autopilot_; }
  // The mine closest to the ship (the one the reticle locks on).
  const Mine& NearestMine() const;

 private:
  Rock NewRock();
  void FlyAutopilot(double seconds, float step);
  void Steer(const Controls& controls, float step);
  void MoveRocks(float step);
  void MoveMines(float step);

  float width_, height_;
  RandomFunction random_;
  Ship ship_{};
  std::vector<Rock> rocks_;
  std::vector<Mine> mines_;
  std::deque<Point> trail_;
  int bumps_ = 0;
  bool autopilot_ = true;
};

}  // namespace vela::demo
