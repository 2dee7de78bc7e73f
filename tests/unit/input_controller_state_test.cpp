// Controller normalisation and hat conversion on recorded states: what a typical pad reports
// through the controller data format, read the way the frame refresh reads it.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "input/controller_state.h"

namespace {

using vela::input::AxisRange;
using vela::input::AxisRangeFrom;
using vela::input::ControllerState;
using vela::input::ConvertHat;
using vela::input::NormaliseAxis;

TEST(ControllerState, LayoutIsTheControllerDataFormat) {
  EXPECT_EQ(offsetof(ControllerState, position), 0u);
  EXPECT_EQ(offsetof(ControllerState, velocity), 24u);
  EXPECT_EQ(offsetof(ControllerState, acceleration), 48u);
  EXPECT_EQ(offsetof(ControllerState, force), 72u);
  EXPECT_EQ(offsetof(ControllerState, sliders), 96u);
  EXPECT_EQ(offsetof(ControllerState, hats), 104u);
  EXPECT_EQ(offsetof(ControllerState, buttons), 120u);
}

TEST(ControllerAxis, RangeCentreTruncatesAndHalfRangeReachesTheMaximum) {
  const AxisRange usual = AxisRangeFrom(0, 65535);
  EXPECT_EQ(usual.centre, 32767);
  EXPECT_EQ(usual.halfRange, 32768);
  const AxisRange symmetric = AxisRangeFrom(-1000, 1000);
  EXPECT_EQ(symmetric.centre, 0);
  EXPECT_EQ(symmetric.halfRange, 1000);
  const AxisRange negativeOdd = AxisRangeFrom(-1001, 0);  // -500.5 truncates towards zero
  EXPECT_EQ(negativeOdd.centre, -500);
  EXPECT_EQ(negativeOdd.halfRange, 500);
}

TEST(ControllerAxis, CentreReadsZeroAndTheEndsReadFullScale) {
  const AxisRange range = AxisRangeFrom(-1000, 1000);
  EXPECT_EQ(NormaliseAxis(0, range), 0);
  EXPECT_EQ(NormaliseAxis(1000, range), 65535);
  EXPECT_EQ(NormaliseAxis(-1000, range), -65535);
  EXPECT_EQ(NormaliseAxis(500, range), 32767);  // 500 x 65535 / 1000, truncated
  // 0 ... 65535 around 32767: the maximum is exactly the half range away.
  const AxisRange usual = AxisRangeFrom(0, 65535);
  EXPECT_EQ(NormaliseAxis(65535, usual), 65535);
  EXPECT_EQ(NormaliseAxis(0, usual), -65533);  // -32767 x 65535 / 32768, truncated
}

TEST(ControllerAxis, FivePercentAroundTheCentreIsDead) {
  const AxisRange range = AxisRangeFrom(-1000, 1000);
  EXPECT_EQ(NormaliseAxis(40, range), 0);    // 4 %: 2621
  EXPECT_EQ(NormaliseAxis(-40, range), 0);
  EXPECT_EQ(NormaliseAxis(49, range), 0);    // 3211
  EXPECT_EQ(NormaliseAxis(50, range), 3276);  // just out of the dead zone
  EXPECT_EQ(NormaliseAxis(-50, range), -3276);
  // The edge itself: (raw - centre) x 65535 / 65535 with the default range.
  EXPECT_EQ(NormaliseAxis(3275, AxisRange{}), 0);
  EXPECT_EQ(NormaliseAxis(-3275, AxisRange{}), 0);
  EXPECT_EQ(NormaliseAxis(3276, AxisRange{}), 3276);
}

TEST(ControllerAxis, WithoutRangeInformationTheRawValuePassesThrough) {
  EXPECT_EQ(NormaliseAxis(12345, AxisRange{}), 12345);
  EXPECT_EQ(NormaliseAxis(-20000, AxisRange{}), -20000);
}

TEST(ControllerAxis, RangesWithoutWidthOrBeyond32BitsAnswerWithoutFault) {
  EXPECT_EQ(NormaliseAxis(5000, AxisRangeFrom(7, 7)), 0);  // half range 0
  const AxisRange huge = AxisRangeFrom(INT32_MIN, INT32_MAX);
  EXPECT_EQ(NormaliseAxis(INT32_MAX, huge), 65535);
  EXPECT_EQ(NormaliseAxis(INT32_MIN, huge), -65535);
  // A lying range whose scaled value does not fit 32 bits is clamped, not wrapped.
  EXPECT_EQ(NormaliseAxis(INT32_MAX, AxisRangeFrom(0, 2)), INT32_MAX);
  EXPECT_EQ(NormaliseAxis(INT32_MIN, AxisRangeFrom(0, 2)), INT32_MIN);
}

TEST(ControllerHat, HundredthsOfADegreeBecomeDegreesAndCentredReadsMinusOne) {
  EXPECT_EQ(ConvertHat(0), 0);
  EXPECT_EQ(ConvertHat(9000), 90);
  EXPECT_EQ(ConvertHat(27000), 270);
  EXPECT_EQ(ConvertHat(35999), 359);
  EXPECT_EQ(ConvertHat(0xFFFFFFFFu), -1);
  EXPECT_EQ(ConvertHat(0x0000FFFFu), -1);  // only the low word tells a centred hat
}

// One frame of a pad pushed fully right and slightly up, hat at south-east, buttons 0 and 3
// down, as DirectInput hands it over.
ControllerState RecordedPadState() {
  ControllerState state = {};
  state.position[0] = 65535;  // X fully right
  state.position[1] = 30000;  // Y a little up of its 32767 centre
  state.position[2] = 32767;  // Z at rest
  state.position[3] = 40;     // Rx, 4 % off the centre of its own range
  state.velocity[0] = 77;
  state.sliders[0] = 4242;
  state.hats[0] = 13500;
  state.hats[1] = -1;  // 0xFFFFFFFF: centred
  state.hats[2] = -1;
  state.hats[3] = -1;
  state.buttons[0] = 0x80;
  state.buttons[1] = 0x7F;  // bit 7 clear: up, whatever the rest
  state.buttons[3] = 0xFF;
  return state;
}

TEST(ControllerNormalise, WholeRecordedFrame) {
  AxisRange ranges[vela::input::kControllerAxes];
  ranges[0] = ranges[1] = ranges[2] = AxisRangeFrom(0, 65535);
  ranges[3] = AxisRangeFrom(-1000, 1000);
  ControllerState state = RecordedPadState();
  vela::input::Normalise(state, ranges);

  EXPECT_EQ(state.position[0], 65535);
  EXPECT_EQ(state.position[1], -5533);  // -2767 x 65535 / 32768, truncated
  EXPECT_EQ(state.position[2], 0);
  EXPECT_EQ(state.position[3], 0);      // in the dead zone
  EXPECT_EQ(state.position[4], 0);      // Ry and Rz absent: raw 0 through the default range
  EXPECT_EQ(state.velocity[0], 77);     // other aspects and sliders stay raw
  EXPECT_EQ(state.sliders[0], 4242);
  EXPECT_EQ(state.hats[0], 135);
  EXPECT_EQ(state.hats[1], -1);
  EXPECT_EQ(state.buttons[0], 1);
  EXPECT_EQ(state.buttons[1], 0);
  EXPECT_EQ(state.buttons[2], 0);
  EXPECT_EQ(state.buttons[3], 1);
}

TEST(ControllerNormalise, ReleasedStateIsZeroWithCentredHats) {
  const ControllerState released = vela::input::ReleasedControllerState();
  for (int hat = 0; hat < vela::input::kControllerHats; ++hat) EXPECT_EQ(released.hats[hat], -1);
  ControllerState expected = {};
  std::memcpy(expected.hats, released.hats, sizeof expected.hats);
  EXPECT_EQ(std::memcmp(&released, &expected, sizeof expected), 0);
}

}  // namespace
