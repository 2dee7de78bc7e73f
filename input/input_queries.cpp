// What the exports, the window's messages and the library ask of VelaInput between frames.
#include "input/input_service.h"
#include "input/vela_input.h"

namespace vela::VelaInput {

void AddTextCharacter(std::uint32_t characterCode) { input::Input().textEntry.Take(characterCode); }
void SetDoubleClick(input::MouseButton button) { input::Input().mouse.NoteDoubleClick(button); }
void AddWheelDelta(std::int16_t delta) { input::Input().mouse.AddWheelDelta(delta); }

bool KeyIsDown(std::int32_t scanCode) { return input::Input().keys.IsDown(scanCode); }
bool NextKeyPress(std::int32_t* scanCode) { return input::Input().keyBuffer.Next(*scanCode); }

const input::TextEntryBuffer& TextEntry() { return input::Input().textEntry; }
void ClearTextEntry() { input::Input().textEntry.Clear(); }
const input::MouseSample& Mouse() { return input::Input().mouse.State(); }
int ControllerCount() { return input::Input().controllerCount; }

const input::ControllerState* Controller(int index) {
  input::InputService& input = input::Input();
  if (index < 0 || index >= input.controllerCount || !input.controllers.Allocated()) return nullptr;
  return &input.controllers[index].state;
}

}  // namespace vela::VelaInput
