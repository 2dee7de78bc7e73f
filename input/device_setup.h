// The device set-up steps of the input service's start. Neither changes the start's answer: a
// machine without keyboard device or controllers still starts, with what it has.
#pragma once

namespace vela::input {

void SetUpKeyboard();
// Enumerates attached game controllers up to joyGetNumDevs() (at most 16) and prepares each:
// data format, exclusive foreground cooperation, capabilities, axis ranges, Acquire.
void SetUpControllers();

}  // namespace vela::input
