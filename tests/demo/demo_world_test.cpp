// The demo game's rules, without the plug-in: the arrow keys take over from the autopilot and
// cannot fly the ship out of the window, rocks fall past and come back from the top, and a
// near rock that the ship touches is bumped away and counted while a far one passes behind.
#include <gtest/gtest.h>

#include "host/demo/demo_world.h"

namespace {

using vela::demo::Controls;
using vela::demo::DemoWorld;

constexpr float kWidth = 640;
constexpr float kHeight = 480;
constexpr float kStep = 1.0f / 60;

// MathRand's contract, from a fixed sequence.
vela::demo::RandomFunction Counter() {
  return [next = 0](std::int32_t lower, std::int32_t upper) mutable {
    return lower + (next++ * 7919) % (upper - lower + 1);
  };
}

TEST(DemoWorld, ArrowKeysTakeOverAndKeepTheShipInsideTheWindow) {
  DemoWorld world(kWidth, kHeight, Counter());
  world.Advance(0, kStep, {});
  EXPECT_TRUE(world.OnAutopilot());
  const Controls upLeft{.left = true, .up = true};
  for (int frame = 1; frame <= 600; ++frame) world.Advance(frame * kStep, kStep, upLeft);
  EXPECT_FALSE(world.OnAutopilot());
  const vela::demo::Point at = world.ShipState().position;
  EXPECT_GT(at.x, 0);
  EXPECT_GT(at.y, 0);
  EXPECT_LT(at.x, 60) << "pushed into the corner";
  EXPECT_LT(at.y, 60);
  // Heading up and to the left: between a half and three quarters of a turn.
  EXPECT_GT(world.ShipState().heading, vela::demo::kTurn / 2);
  EXPECT_LT(world.ShipState().heading, vela::demo::kTurn * 3 / 4);
}

TEST(DemoWorld, RocksStayInPlayAndNearOnesTouchedAreBumped) {
  DemoWorld world(kWidth, kHeight, Counter());
  // Park the ship in the middle of the bottom and let twenty seconds of rocks fall past it.
  const Controls none, down{.down = true};
  for (int frame = 0; frame < 120; ++frame) world.Advance(frame * kStep, kStep, down);
  for (int frame = 120; frame < 1320; ++frame) {
    world.Advance(frame * kStep, kStep, none);
    for (const vela::demo::Rock& rock : world.Rocks()) {
      ASSERT_LE(rock.centre.y - rock.size / 2, kHeight) << "a rock fell out and did not come back";
      ASSERT_GE(rock.centre.y + rock.size / 2, -0.01f) << "a rock waiting above the window";
      ASSERT_GE(rock.depth, 0);
      ASSERT_LE(rock.depth, vela::demo::kFarthestDepth);
    }
  }
  EXPECT_EQ(world.Rocks().size(), std::size_t{DemoWorld::kRockCount});
  EXPECT_GT(world.Bumps(), 0) << "in twenty seconds some near rock falls onto the ship";
  EXPECT_LT(world.Bumps(), 60) << "far rocks pass behind the ship";
}

}  // namespace
