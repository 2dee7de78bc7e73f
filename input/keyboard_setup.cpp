// The system keyboard's set-up at start: device, data format, non-exclusive foreground
// cooperation, a 32-event buffer, and a first Acquire (which fails until the window is in front;
// the frame refresh tries again every frame).
#include "input/device_setup.h"

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "input/data_formats.h"
#include "input/input_service.h"
#include "input/key_buffer.h"

namespace vela::input {
namespace {

void LogFailure(const char* text) {
  LogRed("%s", text);
  LogBreak();
}

void LogStep(const char* text) {
  LogPlain("%s", text);
  LogBreak();
}

bool SetBufferSize(IDirectInputDevice8A* device, DWORD events) {
  DIPROPDWORD property = {};
  property.diph.dwSize = sizeof property;
  property.diph.dwHeaderSize = sizeof property.diph;
  property.diph.dwObj = 0;
  property.diph.dwHow = DIPH_DEVICE;
  property.dwData = events;
  return SUCCEEDED(device->SetProperty(DIPROP_BUFFERSIZE, &property.diph));
}

}  // namespace

void SetUpKeyboard() {
  InputService& input = Input();
  LogBold("　キーボードデバイスの初期化");
  LogBreak();
  if (FAILED(input.directInput->CreateDevice(GUID_SysKeyboard, input.keyboard.Out(), nullptr))) {
    LogFailure("　　エラー : キーボードデバイスの生成に失敗");
    return;
  }
  // A device whose later steps fail stays: the refresh keeps reading it and reads released keys.
  IDirectInputDevice8A* keyboard = input.keyboard.Get();
  LogStep("　　キーボードデバイスの生成");
  if (FAILED(keyboard->SetDataFormat(&KeyboardDataFormat()))) {
    LogFailure("　　エラー : データフォーマットの設定に失敗");
    return;
  }
  LogStep("　　データフォーマットを設定");
  if (FAILED(keyboard->SetCooperativeLevel(MainWindow(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND))) {
    LogFailure("　　エラー : 協調レベルの設定に失敗");
    return;
  }
  LogStep("　　協調レベルを設定");
  if (!SetBufferSize(keyboard, kKeyBufferCapacity)) {
    LogFailure("　　エラー : プロパティの設定に失敗");
    return;
  }
  LogStep("　　プロパティを設定");
  DIDEVCAPS capabilities = {};
  capabilities.dwSize = sizeof capabilities;
  keyboard->GetCapabilities(&capabilities);
  LogPlain("　　%dキー キーボード", static_cast<int>(capabilities.dwButtons));
  LogBreak();
  keyboard->Acquire();
}

}  // namespace vela::input
