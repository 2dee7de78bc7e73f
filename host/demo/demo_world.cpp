#include "host/demo/demo_world.h"

#include <algorithm>
#include <cmath>

namespace vela::demo {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kThrust = 1100;     // pixels per second squared while an arrow is held
constexpr float kDrag = 2.5f;       // the velocity's decay rate per second
constexpr float kTurningSpeed = 30; // below this the ship keeps its heading
constexpr float kNearDepth = 22000; // rocks nearer than this can be bumped
constexpr float kMargin = 24;

float Distance(Point a, Point b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

}  // namespace

std::int32_t AngleOf(Point direction) {
  const float turns = std::atan2(direction.y, direction.x) / (2 * kPi);
  return static_cast<std::int32_t>(std::lround(turns * kTurn)) & (kTurn - 1);
}

DemoWorld::DemoWorld(float width, float height, RandomFunction random)
    : width_(width), height_(height), random_(std::move(random)) {
  ship_.position = {width / 2, height * 0.7f};
  for (int i = 0; i < kRockCount; ++i) {
    rocks_.push_back(NewRock());
    rocks_.back().centre.y = static_cast<float>(random_(0, int(height)));  // spread over the window at first
  }
  for (int i = 0; i < kMineCount; ++i) {
    const float lane = height * (0.2f + 0.25f * i);
    const float speed = static_cast<float>(random_(30, 70)) * (i % 2 ? -1.0f : 1.0f);
    mines_.push_back({{width * (i + 0.5f) / kMineCount, lane}, speed, random_(0, kTurn - 1),
                      (i % 2 ? -1 : 1) * random_(kTurn / 4, kTurn / 2)});
  }
}

// A rock just above the top edge, about to fall in.
Rock DemoWorld::NewRock() {
  Rock rock{};
  rock.depth = static_cast<float>(random_(1000, 64000));
  rock.size = 20 + 60 * (1 - rock.depth / kFarthestDepth);
  rock.centre = {static_cast<float>(random_(0, int(width_))), -rock.size / 2};
  rock.picture = random_(0, 1);
  return rock;
}

void DemoWorld::Advance(double seconds, float step, const Controls& controls) {
  if (controls.Any()) autopilot_ = false;
  if (autopilot_) {
    FlyAutopilot(seconds, step);
  } else {
    Steer(controls, step);
  }
  const float speed = std::hypot(ship_.velocity.x, ship_.velocity.y);
  if (speed > kTurningSpeed) ship_.heading = AngleOf(ship_.velocity);

  trail_.push_back(ship_.position);
  if (trail_.size() > kTrailLength) trail_.pop_front();
  MoveRocks(step);
  MoveMines(step);
}

// A figure of eight over the middle of the window.
void DemoWorld::FlyAutopilot(double seconds, float step) {
  const auto t = static_cast<float>(seconds);
  const Point next = {width_ / 2 + width_ * 0.3f * std::sin(t * 0.9f), height_ * 0.55f + height_ * 0.22f * std::sin(t * 1.8f)};
  if (step > 0) ship_.velocity = {(next.x - ship_.position.x) / step, (next.y - ship_.position.y) / step};
  ship_.position = next;
}

void DemoWorld::Steer(const Controls& controls, float step) {
  const float ax = kThrust * (float(controls.right) - float(controls.left));
  const float ay = kThrust * (float(controls.down) - float(controls.up));
  const float drag = std::exp(-kDrag * step);
  ship_.velocity = {(ship_.velocity.x + ax * step) * drag, (ship_.velocity.y + ay * step) * drag};
  ship_.position.x = std::clamp(ship_.position.x + ship_.velocity.x * step, kMargin, width_ - kMargin);
  ship_.position.y = std::clamp(ship_.position.y + ship_.velocity.y * step, kMargin, height_ - kMargin);
}

void DemoWorld::MoveRocks(float step) {
  for (Rock& rock : rocks_) {
    // Nearer rocks fall faster: the field has depth.
    rock.centre.y += (40 + 160 * (1 - rock.depth / kFarthestDepth)) * step;
    const bool bumped = rock.depth < kNearDepth && Distance(rock.centre, ship_.position) < rock.size * 0.4f + kShipSize * 0.3f;
    if (bumped) ++bumps_;
    if (bumped || rock.centre.y - rock.size / 2 > height_) rock = NewRock();
  }
}

void DemoWorld::MoveMines(float step) {
  for (Mine& mine : mines_) {
    mine.centre.x += mine.speed * step;
    if (mine.centre.x > width_ + kMineSize) mine.centre.x = -kMineSize;
    if (mine.centre.x < -kMineSize) mine.centre.x = width_ + kMineSize;
    mine.angle = (mine.angle + static_cast<std::int32_t>(mine.spin * step)) & (kTurn - 1);
  }
}

const Mine& DemoWorld::NearestMine() const {
  return *std::min_element(mines_.begin(), mines_.end(), [this](const Mine& a, const Mine& b) {
    return Distance(a.centre, ship_.position) < Distance(b.centre, ship_.position);
  });
}

}  // namespace vela::demo
