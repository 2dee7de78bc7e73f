// GetKeyData and KeyBufferLoop: the keyboard as the input service saw it at the last WaitMsg.
#include "input/vela_input.h"
#include "plugin/export_call.h"

// key: a DirectInput scan code. Answers whether the key is down in this frame.
VELA_EXPORT_BODY(GetKeyData)(std::int32_t key) -> bool { return VelaInput::KeyIsDown(key); }

// key: the host variable that receives the next buffered press's scan code, or 0 (for a
// release, or when the frame's events are used up; then the answer is false).
VELA_EXPORT_BODY(KeyBufferLoop)(HostVariable key) -> bool {
  std::int32_t scanCode = 0;
  const bool taken = VelaInput::NextKeyPress(&scanCode);
  key.Write(scanCode);
  return taken;
}
