// VelaInput's start and stop: the controller memory, the DirectInput object (made through COM,
// which the boot has initialised), the keyboard and the controllers; and their release.
#include <windows.h>

#include <dinput.h>

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "input/device_setup.h"
#include "input/input_service.h"
#include "input/vela_input.h"

namespace vela::VelaInput {
namespace {

using input::InputService;

constexpr DWORD kDirectInputVersion = 0x0800;

void LogLine(void (*log)(const char*, ...), const char* text) {
  log("%s", text);
  LogBreak();
}

bool CreateDirectInput(InputService& input) {
  if (FAILED(CoCreateInstance(CLSID_DirectInput8, nullptr, CLSCTX_ALL, IID_IDirectInput8A,
                              reinterpret_cast<void**>(input.directInput.Out())))) {
    LogLine(LogRed, "　エラー : DirectInputオブジェクトの生成に失敗");
    LogLine(LogPlain, "　　[ DirectX8.1以降をインストールしてください ]");
    return false;
  }
  LogLine(LogBold, "　DirectInputオブジェクトを生成");
  if (FAILED(input.directInput->Initialize(ExecutableModule(), kDirectInputVersion))) {
    LogLine(LogPlain, "　エラー : DirectInputオブジェクトの初期化に失敗");
    return false;
  }
  LogLine(LogBold, "　DirectInputオブジェクトの初期化に成功");
  return true;
}

// What a frame reads with no device: every key released, no events.
void ForgetFrameState(InputService& input) {
  input.keys.Clear();
  input.keyBuffer.Clear();
  input.controllerCount = 0;
  input.controllerLimit = 0;
}

}  // namespace

bool Start() {
  InputService& input = input::Input();
  ForgetFrameState(input);
  LogHeadRow("VelaInputクラスの初期化");
  LogBreak();
  LogLine(LogBold, "　ジョイスティック用メモリを確保");
  if (!input.controllers.Allocate()) {
    LogLine(LogRed, "　エラー : ジョイスティック用メモリ確保に失敗");
    return false;
  }
  if (!CreateDirectInput(input)) return false;
  input::SetUpKeyboard();
  input::SetUpControllers();
  return true;
}

void Stop() {
  InputService& input = input::Input();
  LogHeadRow("VelaInputクラスの解放");
  LogBreak();
  if (input.controllers.Allocated()) {
    for (int index = 0; index < input::kMaxControllers; ++index) {
      input::ControllerRecord& record = input.controllers[index];
      if (!record.device) continue;
      record.device->Unacquire();
      record = input::ControllerRecord{};
      LogPlain("ジョイスティック用デバイスの解放 [ %d ]", index);
      LogBreak();
    }
  }
  if (input.keyboard) {
    input.keyboard->Unacquire();
    input.keyboard.Reset();
    LogLine(LogPlain, "キーボード用デバイスの解放");
  }
  if (input.directInput) {
    input.directInput.Reset();
    LogLine(LogPlain, "DirectInputオブジェクトの解放");
  }
  input.controllers.Free();
  ForgetFrameState(input);
}

}  // namespace vela::VelaInput
