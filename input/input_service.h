// The input service's module-wide state, shared by its start and stop, its frame refresh and
// its queries. Touched only on the window's thread.
#pragma once

#include <windows.h>

#include <dinput.h>

#include "core/com_ptr.h"
#include "input/controller_state.h"
#include "input/key_buffer.h"
#include "input/key_table.h"
#include "input/mouse_state.h"
#include "input/text_entry.h"

namespace vela::input {

// One controller: the state bytes DirectInput fills, then what normalising them needs.
struct ControllerRecord {
  ControllerState state = {};
  AxisRange ranges[kControllerAxes] = {};
  ComPtr<IDirectInputDevice8A> device;
  bool needsPolling = false;
  bool forceFeedback = false;
};

// The 16 controller records in one zero-filled block from the process heap.
class ControllerBlock {
 public:
  ControllerBlock() = default;
  ControllerBlock(const ControllerBlock&) = delete;
  ControllerBlock& operator=(const ControllerBlock&) = delete;
  ~ControllerBlock() { Free(); }

  bool Allocate();
  void Free();  // releases every device still held
  bool Allocated() const { return records_ != nullptr; }
  ControllerRecord& operator[](int index) { return records_[index]; }
  // Every record's state reads as released: 0, hats centred.
  void ReleaseAllStates();

 private:
  ControllerRecord* records_ = nullptr;
};

struct InputService {
  ComPtr<IDirectInput8A> directInput;
  ComPtr<IDirectInputDevice8A> keyboard;
  KeyTable keys;
  KeyBuffer keyBuffer;
  ControllerBlock controllers;
  int controllerLimit = 0;  // joyGetNumDevs(), at most 16
  int controllerCount = 0;  // records filled by the enumeration
  Mouse mouse;
  TextEntryBuffer textEntry;
};

InputService& Input();

}  // namespace vela::input
