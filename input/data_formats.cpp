#include "input/data_formats.h"

#include <array>
#include <cstddef>

#include "input/controller_state.h"
#include "input/key_table.h"

namespace vela::input {
namespace {

constexpr int kControllerObjects = 52;

struct KeyboardFormat {
  std::array<DIOBJECTDATAFORMAT, kKeyCount> objects;
  DIDATAFORMAT format;

  KeyboardFormat() {
    for (DWORD key = 0; key < kKeyCount; ++key) {
      objects[key] = {&GUID_Key, key, DIDFT_OPTIONAL | DIDFT_BUTTON | DIDFT_MAKEINSTANCE(key), 0};
    }
    format = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, kKeyCount, kKeyCount,
              objects.data()};
  }
};

constexpr DWORD kAnyAxis = DIDFT_OPTIONAL | DIDFT_AXIS | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyHat = DIDFT_OPTIONAL | DIDFT_POV | DIDFT_ANYINSTANCE;
constexpr DWORD kAnyButton = DIDFT_OPTIONAL | DIDFT_BUTTON | DIDFT_ANYINSTANCE;

class ControllerFormat {
 public:
  ControllerFormat() {
    AddAspect(offsetof(ControllerState, position), DIDOI_ASPECTPOSITION);
    for (int hat = 0; hat < kControllerHats; ++hat) {
      Add(&GUID_POV, offsetof(ControllerState, hats) + hat * sizeof(std::int32_t), kAnyHat, 0);
    }
    for (int button = 0; button < kControllerButtons; ++button) {
      Add(nullptr, offsetof(ControllerState, buttons) + button, kAnyButton, 0);
    }
    AddAspect(offsetof(ControllerState, velocity), DIDOI_ASPECTVELOCITY);
    AddAspect(offsetof(ControllerState, acceleration), DIDOI_ASPECTACCEL);
    AddAspect(offsetof(ControllerState, force), DIDOI_ASPECTFORCE);
    format_ = {sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, sizeof(ControllerState),
               static_cast<DWORD>(count_), objects_.data()};
  }
  const DIDATAFORMAT& Format() const { return format_; }

 private:
  // The six axes of one aspect at `offset`, then that aspect's two sliders.
  void AddAspect(std::size_t offset, DWORD aspect) {
    static const GUID* const kAxes[kControllerAxes] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,
                                                       &GUID_RxAxis, &GUID_RyAxis, &GUID_RzAxis};
    for (int axis = 0; axis < kControllerAxes; ++axis) {
      Add(kAxes[axis], offset + axis * sizeof(std::int32_t), kAnyAxis, aspect);
    }
    for (int slider = 0; slider < kControllerSliders; ++slider) {
      Add(&GUID_Slider, offsetof(ControllerState, sliders) + slider * sizeof(std::int32_t), kAnyAxis, aspect);
    }
  }
  void Add(const GUID* type, std::size_t offset, DWORD objectType, DWORD flags) {
    objects_[static_cast<std::size_t>(count_++)] = {type, static_cast<DWORD>(offset), objectType, flags};
  }

  std::array<DIOBJECTDATAFORMAT, kControllerObjects> objects_ = {};
  int count_ = 0;
  DIDATAFORMAT format_ = {};
};

}  // namespace

const DIDATAFORMAT& KeyboardDataFormat() {
  static const KeyboardFormat keyboard;
  return keyboard.format;
}

const DIDATAFORMAT& ControllerDataFormat() {
  static const ControllerFormat controller;
  return controller.Format();
}

}  // namespace vela::input
