// VelaInput: the library's input service on DirectInput 8. The system keyboard feeds the key
// state table and the key buffer that GetKeyData and KeyBufferLoop read; up to 16 game
// controllers are set up, polled and normalised every frame; the mouse buttons and cursor are
// sampled; the window's character messages are collected in the text-entry buffer.
//
// The boot starts the service when service flag 1 is set, WaitMsg refreshes it once per frame
// (also when it never started: it then finds no devices and every key reads as released), and
// the shutdown stops it. Everything runs on the window's thread.
//
// The keyboard runs non-exclusive and in the foreground only: while the window is in the
// background, or the keyboard is otherwise lost, every key reads as released, the key buffer is
// empty, and Acquire is tried again every frame.
#pragma once

#include <cstdint>

#include "input/controller_state.h"
#include "input/mouse_state.h"
#include "input/text_entry.h"

namespace vela::VelaInput {

// Start-up and shutdown. Start answers false only when the controller memory or the DirectInput
// object cannot be had; a machine without keyboard device or controllers still starts. Stop is
// safe without a start.
bool Start();
void Stop();

// The per-frame refresh: controllers, key table, key buffer, mouse, in that order.
void Refresh();

// The window's messages.
void AddTextCharacter(std::uint32_t characterCode);
void SetDoubleClick(input::MouseButton button);
void AddWheelDelta(std::int16_t delta);

// The key state in this frame (scan codes outside 0-255 are never down).
bool KeyIsDown(std::int32_t scanCode);
// The frame's next buffered key event: true with its scan code for a press, false with 0 for a
// release or when the frame's events are used up.
bool NextKeyPress(std::int32_t* scanCode);

// What the library keeps for its own use; the exports do not read it.
const input::TextEntryBuffer& TextEntry();
void ClearTextEntry();
const input::MouseSample& Mouse();
int ControllerCount();
// Null for an index outside the controllers created.
const input::ControllerState* Controller(int index);

}  // namespace vela::VelaInput
