// The two DirectInput data formats the input service sets on its devices, built by the library
// itself rather than taken from dinput8's import library:
//   keyboard    256 optional button objects, object i at byte i with instance i (the same layout
//               as the standard keyboard format), relative axes, 256 bytes of data
//   controller  52 optional objects over 136 bytes, absolute axes, laid out as ControllerState:
//               the six axes in each of the four aspects, two sliders per aspect (all aspects
//               share the two slider places), four hats and sixteen buttons
#pragma once

#include <windows.h>

#include <dinput.h>

namespace vela::input {

const DIDATAFORMAT& KeyboardDataFormat();
const DIDATAFORMAT& ControllerDataFormat();

}  // namespace vela::input
