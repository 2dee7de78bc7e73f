#include "input/controller_state.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace vela::input {

AxisRange AxisRangeFrom(std::int32_t minimum, std::int32_t maximum) {
  // Integer division in C++ truncates towards zero, as the range's centre must.
  const std::int64_t centre = (std::int64_t{minimum} + maximum) / 2;
  const std::int64_t halfRange = maximum - centre;
  return {static_cast<std::int32_t>(centre), static_cast<std::int32_t>(std::clamp<std::int64_t>(
                                                 halfRange, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()))};
}

std::int32_t NormaliseAxis(std::int32_t raw, AxisRange range) {
  if (range.halfRange == 0) return 0;
  const std::int64_t scaled = (std::int64_t{raw} - range.centre) * kAxisScale / range.halfRange;
  if (scaled >= -kAxisDeadZone && scaled <= kAxisDeadZone) return 0;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      scaled, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ConvertHat(std::uint32_t raw) {
  if ((raw & 0xFFFF) == 0xFFFF) return kHatCentred;
  return static_cast<std::int32_t>(raw / 100);
}

void Normalise(ControllerState& state, const AxisRange (&ranges)[kControllerAxes]) {
  for (int axis = 0; axis < kControllerAxes; ++axis) {
    state.position[axis] = NormaliseAxis(state.position[axis], ranges[axis]);
  }
  for (std::int32_t& hat : state.hats) hat = ConvertHat(static_cast<std::uint32_t>(hat));
  for (std::uint8_t& button : state.buttons) button = DownFlag(button);
}

ControllerState ReleasedControllerState() {
  ControllerState state = {};
  std::fill(std::begin(state.hats), std::end(state.hats), kHatCentred);
  return state;
}

}  // namespace vela::input
