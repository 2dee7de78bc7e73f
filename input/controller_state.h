// Game controller states: the 136 bytes that DirectInput fills through the library's controller
// data format, and their per-frame normalisation. Pure arithmetic, free of Win32, so that it is
// tested on recorded states (no controller exists where the tests run).
//
// After normalisation a position axis reads about -65535 ... 65535 around its centre with a dead
// zone of 5 % of the range, a hat reads degrees 0 to 359 or -1 when centred, and a button 1 or
// 0. Velocity, acceleration, force and the sliders stay as DirectInput reported them.
#pragma once

#include <cstdint>

namespace vela::input {

inline constexpr int kControllerAxes = 6;  // X, Y, Z, Rx, Ry, Rz
inline constexpr int kControllerSliders = 2;
inline constexpr int kControllerHats = 4;
inline constexpr int kControllerButtons = 16;
inline constexpr int kMaxControllers = 16;

inline constexpr std::int32_t kAxisScale = 65535;
inline constexpr std::int32_t kAxisDeadZone = 3275;  // 5 % of kAxisScale
inline constexpr std::int32_t kHatCentred = -1;

// The controller data format's layout; also the leading bytes of every controller record.
struct ControllerState {
  std::int32_t position[kControllerAxes];
  std::int32_t velocity[kControllerAxes];
  std::int32_t acceleration[kControllerAxes];
  std::int32_t force[kControllerAxes];
  std::int32_t sliders[kControllerSliders];
  std::int32_t hats[kControllerHats];
  std::uint8_t buttons[kControllerButtons];
};
static_assert(sizeof(ControllerState) == 136);

// What an axis's DirectInput range becomes. The default passes a raw value through unchanged
// (raw x 65535 / 65535) for an axis whose range could not be read.
struct AxisRange {
  std::int32_t centre = 0;
  std::int32_t halfRange = kAxisScale;
};

// Centre (minimum + maximum) / 2, truncating; half range = maximum - centre.
AxisRange AxisRangeFrom(std::int32_t minimum, std::int32_t maximum);

// (raw - centre) x 65535 / half range, truncating, with values within +-3275 read as 0. An axis
// whose range has no width reads 0. Computed in 64 bits: the result equals the 32-bit
// computation wherever that does not overflow, and is clamped to 32 bits where a lying range
// would make it larger.
std::int32_t NormaliseAxis(std::int32_t raw, AxisRange range);

// A point-of-view hat in hundredths of a degree becomes whole degrees; a centred hat (0xFFFF in
// the low word) becomes -1.
std::int32_t ConvertHat(std::uint32_t raw);

// A button or key byte: 1 when bit 7 is set, else 0.
constexpr std::uint8_t DownFlag(std::uint8_t raw) { return (raw & 0x80) != 0 ? 1 : 0; }

// The whole per-frame normalisation of one state read from the device, in place.
void Normalise(ControllerState& state, const AxisRange (&ranges)[kControllerAxes]);

// What a controller reads while it is absent or lost: everything 0, hats centred.
ControllerState ReleasedControllerState();

}  // namespace vela::input
