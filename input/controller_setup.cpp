// The game controllers' set-up at start. A controller whose set-up fails is released and its
// record cleared; the others go on.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "input/data_formats.h"
#include "input/device_setup.h"
#include "input/input_service.h"

namespace vela::input {
namespace {

void LogLine(const char* text) {
  LogPlain("%s", text);
  LogBreak();
}

const char* YesNo(bool value) { return value ? "YES" : "NO"; }

// Device names come in the system code page; the log takes UTF-8.
std::string SystemTextToUtf8(const char* text) {
  const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), bytes, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(bytes - 1));
  return utf8;
}

void ReleaseController(ControllerRecord& record) { record = ControllerRecord{}; }

// Each attached controller goes into the next record; a failed creation or a full set of
// records ends the enumeration.
BOOL CALLBACK CreateEnumeratedController(LPCDIDEVICEINSTANCEA instance, LPVOID) {
  InputService& input = Input();
  if (input.controllerCount >= input.controllerLimit) return DIENUM_STOP;
  ControllerRecord& record = input.controllers[input.controllerCount++];
  if (FAILED(input.directInput->CreateDevice(instance->guidInstance, record.device.Out(), nullptr))) {
    return DIENUM_STOP;
  }
  return input.controllerCount < input.controllerLimit ? DIENUM_CONTINUE : DIENUM_STOP;
}

struct AxisEnumeration {
  ControllerRecord* record;
  bool rangeFailed = false;
};

// The axes that have a place in the record, by their type GUID; -1 for the others.
int AxisIndex(const GUID& type) {
  static const GUID* const kAxes[kControllerAxes] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,
                                                     &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis};
  for (int axis = 0; axis < kControllerAxes; ++axis) {
    if (IsEqualGUID(type, *kAxes[axis])) return axis;
  }
  return -1;
}

const char* OtherObjectName(const GUID& type) {
  if (IsEqualGUID(type, GUID_Slider)) return "スライダ軸";
  if (IsEqualGUID(type, GUID_POV)) return "視点インジケータ";
  if (IsEqualGUID(type, GUID_Unknown)) return "確定できない";
  return nullptr;
}

// Keeps the range of X, Y, Z, Rx, Ry and Rz. A range that cannot be read ends the enumeration;
// the caller then releases the controller (not here, inside its own enumeration).
BOOL CALLBACK ReadAxisRange(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context) {
  auto& enumeration = *static_cast<AxisEnumeration*>(context);
  const int axis = AxisIndex(object->guidType);
  if (axis < 0) {
    if (const char* name = OtherObjectName(object->guidType)) LogLine((std::string("　　　") + name).c_str());
    return DIENUM_CONTINUE;
  }
  DIPROPRANGE range = {};
  range.diph.dwSize = sizeof range;
  range.diph.dwHeaderSize = sizeof range.diph;
  range.diph.dwObj = object->dwType;
  range.diph.dwHow = DIPH_BYID;
  if (FAILED(enumeration.record->device->GetProperty(DIPROP_RANGE, &range.diph))) {
    enumeration.rangeFailed = true;
    return DIENUM_STOP;
  }
  enumeration.record->ranges[axis] = AxisRangeFrom(range.lMin, range.lMax);
  static const char* const kAxisNames[kControllerAxes] = {
      "Ｘ軸", "Ｙ軸", "Ｚ軸", "Ｘ軸を中心とする回転", "Ｙ軸を中心とする回転", "Ｚ軸を中心とする回転"};
  LogPlain("　　　%s", kAxisNames[axis]);
  LogPlain("　　　( %d ～ %d )", static_cast<int>(range.lMin), static_cast<int>(range.lMax));
  LogBreak();
  return DIENUM_CONTINUE;
}

// Data format, cooperation and capabilities; false (with its log line) when a step fails.
bool PrepareController(ControllerRecord& record) {
  IDirectInputDevice8A* device = record.device.Get();
  if (FAILED(device->SetDataFormat(&ControllerDataFormat()))) {
    LogLine("　　　エラー : データフォーマットの設定に失敗");
    return false;
  }
  if (FAILED(device->SetCooperativeLevel(MainWindow(), DISCL_EXCLUSIVE | DISCL_FOREGROUND))) {
    LogLine("　　　エラー : 協調レベルの設定に失敗");
    return false;
  }
  DIDEVICEINSTANCEA information = {};
  information.dwSize = sizeof information;
  device->GetDeviceInfo(&information);
  DIDEVCAPS capabilities = {};
  capabilities.dwSize = sizeof capabilities;
  device->GetCapabilities(&capabilities);
  record.forceFeedback = (capabilities.dwFlags & DIDC_FORCEFEEDBACK) != 0;
  record.needsPolling = (capabilities.dwFlags & (DIDC_POLLEDDEVICE | DIDC_POLLEDDATAFORMAT)) != 0;

  LogPlain("　　　%s", SystemTextToUtf8(information.tszProductName).c_str());
  LogBreak();
  LogPlain("　　　%d軸 %dボタン %dPov", static_cast<int>(capabilities.dwAxes),
           static_cast<int>(capabilities.dwButtons), static_cast<int>(capabilities.dwPOVs));
  LogBreak();
  LogPlain("　　　ForceFeedback　[ %s ]", YesNo(record.forceFeedback));
  LogBreak();
  LogPlain("　　　Polling　[ %s ]", YesNo(record.needsPolling));
  LogBreak();
  return true;
}

// Every axis first passes its raw value through; the axes found get their own range.
bool ReadAxisRanges(ControllerRecord& record) {
  std::fill(std::begin(record.ranges), std::end(record.ranges), AxisRange{});
  AxisEnumeration enumeration{&record};
  if (FAILED(record.device->EnumObjects(ReadAxisRange, &enumeration, DIDFT_AXIS))) {
    LogLine("　　　エラー : 軸の列挙に失敗");
    return false;
  }
  if (enumeration.rangeFailed) {
    LogRed("　　　軸データ取得に失敗");
    LogBreak();
    return false;
  }
  return true;
}

void SetUpController(int index) {
  ControllerRecord& record = Input().controllers[index];
  LogPlain("　　　デバイス番号　[ %d ]", index);
  LogBreak();
  if (!record.device) {
    LogLine("　　　エラー : デバイスの生成に失敗");
    return;
  }
  if (!PrepareController(record) || !ReadAxisRanges(record)) {
    ReleaseController(record);
    return;
  }
  record.device->Acquire();
}

}  // namespace

void SetUpControllers() {
  InputService& input = Input();
  LogBold("　ジョイスティックデバイスの初期化");
  LogBreak();
  input.controllerLimit = static_cast<int>(std::min<UINT>(joyGetNumDevs(), kMaxControllers));
  input.controllerCount = 0;
  LogPlain("　　使用可能な最大ジョイスティック数 [ %d ]", input.controllerLimit);
  LogBreak();

  if (FAILED(input.directInput->EnumDevices(DI8DEVCLASS_GAMECTRL, CreateEnumeratedController, nullptr,
                                            DIEDFL_ATTACHEDONLY))) {
    for (int index = 0; index < input.controllerCount; ++index) ReleaseController(input.controllers[index]);
    input.controllerCount = 0;
    LogLine("　　エラー : ジョイスティックデバイスの列挙に失敗");
    return;
  }
  LogPlain("　　ジョイスティックデバイスの列挙 [ %d ]", input.controllerCount);
  LogBreak();
  for (int index = 0; index < input.controllerCount; ++index) SetUpController(index);
}

}  // namespace vela::input
