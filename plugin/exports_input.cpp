// GetKeyData and KeyBufferLoop: the keyboard as the input service saw it at the last WaitMsg.
#include "input/vela_input.h"
#include "plugin/argument_block.h"
#include "plugin/export.h"

using vela::plugin::ArgumentReader;
using vela::plugin::HostVariable;
using vela::plugin::HostWord;

// key: a DirectInput scan code. Answers whether the key is down in this frame.
VELA_EXPORT std::int32_t VELA_CDECL GetKeyData(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  return args.ReturnBool(vela::VelaInput::KeyIsDown(args.Int()));
}

// key: a HostRef to an int, which receives the next buffered press's scan code, or 0 (for a
// release, or when the frame's events are used up; then the answer is false).
VELA_EXPORT std::int32_t VELA_CDECL KeyBufferLoop(HostWord top, HostWord base) {
  ArgumentReader args(top, base, 4);
  const HostVariable key = args.Ref();
  std::int32_t scanCode = 0;
  const bool taken = vela::VelaInput::NextKeyPress(&scanCode);
  key.Write(scanCode);
  return args.ReturnBool(taken);
}
