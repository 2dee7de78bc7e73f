// VelaInput's per-frame refresh, run by WaitMsg before the device's frame step: controllers,
// key table, key buffer, mouse. A device that cannot be read reads as released for the frame
// and is acquired again, so a keyboard lost to another window comes back once ours is in front.
#include <windows.h>

#include <dinput.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "core/vela_core.h"
#include "input/input_service.h"
#include "input/vela_input.h"

namespace vela::VelaInput {
namespace {

using input::InputService;

void RefreshControllers(InputService& input) {
  for (int index = 0; index < input.controllerCount; ++index) {
    input::ControllerRecord& record = input.controllers[index];
    if (!record.device) {
      input.controllers.ReleaseAllStates();
      continue;
    }
    if (record.needsPolling) record.device->Poll();
    if (FAILED(record.device->GetDeviceState(sizeof record.state, &record.state))) {
      record.device->Acquire();
      input.controllers.ReleaseAllStates();
      continue;
    }
    input::Normalise(record.state, record.ranges);
  }
}

void RefreshKeyTable(InputService& input) {
  std::uint8_t deviceState[input::kKeyCount];
  if (input.keyboard && SUCCEEDED(input.keyboard->GetDeviceState(sizeof deviceState, deviceState))) {
    input.keys.Load(deviceState);
    return;
  }
  if (input.keyboard) input.keyboard->Acquire();
  input.keys.Clear();
}

void RefreshKeyBuffer(InputService& input) {
  // DirectInput keeps at most 32 events between reads (the buffer size set at start); reading
  // removes them from its buffer.
  std::array<DIDEVICEOBJECTDATA, input::kKeyBufferCapacity> data = {};
  DWORD count = static_cast<DWORD>(data.size());
  if (!input.keyboard ||
      FAILED(input.keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data.data(), &count, 0))) {
    if (input.keyboard) input.keyboard->Acquire();
    input.keyBuffer.Clear();
    return;
  }
  std::array<input::KeyEvent, input::kKeyBufferCapacity> events = {};
  count = std::min<DWORD>(count, data.size());
  for (DWORD index = 0; index < count; ++index) events[index] = {data[index].dwOfs, data[index].dwData};
  input.keyBuffer.Fill(std::span(events.data(), count));
}

bool ButtonDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

void RefreshMouse(InputService& input) {
  POINT cursor = {};
  GetCursorPos(&cursor);
  ScreenToClient(MainWindow(), &cursor);
  input.mouse.Sample({ButtonDown(VK_LBUTTON), ButtonDown(VK_RBUTTON), ButtonDown(VK_MBUTTON)}, cursor.x,
                     cursor.y);
}

}  // namespace

void Refresh() {
  InputService& input = input::Input();
  RefreshControllers(input);
  RefreshKeyTable(input);
  RefreshKeyBuffer(input);
  RefreshMouse(input);
}

}  // namespace vela::VelaInput
