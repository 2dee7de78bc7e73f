// Controller axis normalisation and hat conversion on recorded pad states, as the frame reads them.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "input/controller_state.h"

namespace {

using vela::input::AxisRange;
using vela::input::AxisRangeFrom;
using vela::input::ControllerState;
using vela::input::NormaliseAxis;

// The state is read straight from the controller data format.
static_assert(offsetof(ControllerState, sliders) == 96 && offsetof(ControllerState, hats) == 104 &&
              offsetof(ControllerState, buttons) == 120);

TEST(ControllerAxis, ScalesAroundTheTruncatedCentreWithAFivePercentDeadZone) {
  const AxisRange symmetric = AxisRangeFrom(-1000, 1000), usual = AxisRangeFrom(0, 65535);
  const struct {
    std::int32_t raw;
    AxisRange range;
    std::int32_t normalised;
  } cases[] = {
      {0, symmetric, 0},          {1000, symmetric, 65535}, {-1000, symmetric, -65535},
      {500, symmetric, 32767},    // 500 x 65535 / 1000, truncated
      {49, symmetric, 0},         {50, symmetric, 3276},    {-50, symmetric, -3276},  // the dead zone's edge
      {65535, usual, 65535},      {0, usual, -65533},       // around 32767: -32767 x 65535 / 32768
      {0, AxisRangeFrom(-1001, 0), 65535},                  // centre -500.5 truncates to -500
      {3275, AxisRange{}, 0},     {3276, AxisRange{}, 3276}, {-20000, AxisRange{}, -20000},  // no range: raw
      {5000, AxisRangeFrom(7, 7), 0},                       // half range 0
      {INT32_MIN, AxisRangeFrom(INT32_MIN, INT32_MAX), -65535},
      {INT32_MAX, AxisRangeFrom(0, 2), INT32_MAX},          // too large for 32 bits: clamped, not wrapped
      {INT32_MIN, AxisRangeFrom(0, 2), INT32_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(NormaliseAxis(c.raw, c.range), c.normalised) << c.raw;
}

TEST(ControllerNormalise, WholeRecordedFrame) {
  // A pad pushed fully right and slightly up, hat at south-east, buttons 0 and 3 down, as
  // DirectInput hands it over.
  ControllerState state = {};
  state.position[0] = 65535;
  state.position[1] = 30000;  // a little up of its 32767 centre
  state.position[3] = 40;     // Rx, 4 % off the centre of its own range
  state.velocity[0] = 77;
  state.hats[0] = 13500;
  state.hats[1] = -1;          // 0xFFFFFFFF: centred
  state.hats[2] = 0x0000FFFF;  // only the low word tells a centred hat
  state.buttons[0] = 0x80;
  state.buttons[1] = 0x7F;  // bit 7 clear: up, whatever the rest
  AxisRange ranges[vela::input::kControllerAxes];
  ranges[0] = ranges[1] = ranges[2] = AxisRangeFrom(0, 65535);
  ranges[3] = AxisRangeFrom(-1000, 1000);
  vela::input::Normalise(state, ranges);
  EXPECT_EQ(state.position[0], 65535);
  EXPECT_EQ(state.position[1], -5533);  // -2767 x 65535 / 32768, truncated
  EXPECT_EQ(state.position[3], 0);      // in the dead zone
  EXPECT_EQ(state.velocity[0], 77);     // other aspects stay raw
  EXPECT_EQ(state.hats[0], 135);
  EXPECT_EQ(state.hats[1], -1);
  EXPECT_EQ(state.hats[2], -1);
  EXPECT_EQ(state.buttons[0], 1);
  EXPECT_EQ(state.buttons[1], 0);
  EXPECT_EQ(vela::input::ConvertHat(35999), 359);

  const ControllerState released = vela::input::ReleasedControllerState();
  ControllerState expected = {};
  for (auto& hat : expected.hats) hat = -1;
  EXPECT_EQ(std::memcmp(&released, &expected, sizeof expected), 0) << "zero, with centred hats";
}

}  // namespace
