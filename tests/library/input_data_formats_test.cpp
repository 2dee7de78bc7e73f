// The two DirectInput data formats VelaInput builds for itself, checked object by object: the
// keyboard's must match the standard keyboard layout, the controller's must lay every object
// inside the controller record's 136 state bytes where ControllerState expects it.
#include <windows.h>

#include <dinput.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <set>

#include "input/controller_state.h"
#include "input/data_formats.h"

namespace vela::input {
namespace {

TEST(InputDataFormats, KeyboardIs256OptionalKeysAtTheirScanCodes) {
  const DIDATAFORMAT& format = KeyboardDataFormat();
  EXPECT_EQ(format.dwSize, sizeof(DIDATAFORMAT));
  EXPECT_EQ(format.dwObjSize, sizeof(DIOBJECTDATAFORMAT));
  EXPECT_EQ(format.dwFlags, static_cast<DWORD>(DIDF_RELAXIS));
  EXPECT_EQ(format.dwDataSize, 256u);
  ASSERT_EQ(format.dwNumObjs, 256u);
  for (DWORD key = 0; key < 256; ++key) {
    const DIOBJECTDATAFORMAT& object = format.rgodf[key];
    ASSERT_NE(object.pguid, nullptr);
    EXPECT_TRUE(IsEqualGUID(*object.pguid, GUID_Key)) << key;
    EXPECT_EQ(object.dwOfs, key);
    EXPECT_EQ(object.dwType, 0x8000000Cu + key * 256) << key;
    EXPECT_EQ(object.dwFlags, 0u);
  }
}

TEST(InputDataFormats, ControllerCoversTheStateBytesAsTheRecordLaysThemOut) {
  const DIDATAFORMAT& format = ControllerDataFormat();
  EXPECT_EQ(format.dwFlags, static_cast<DWORD>(DIDF_ABSAXIS));
  EXPECT_EQ(format.dwDataSize, sizeof(ControllerState));
  ASSERT_EQ(format.dwNumObjs, 52u);

  int axes = 0, sliders = 0, hats = 0, buttons = 0;
  std::set<DWORD> axisPlaces, hatPlaces, buttonPlaces;
  for (DWORD index = 0; index < format.dwNumObjs; ++index) {
    const DIOBJECTDATAFORMAT& object = format.rgodf[index];
    EXPECT_NE(object.dwType & DIDFT_OPTIONAL, 0u) << index;
    EXPECT_EQ(object.dwType & DIDFT_ANYINSTANCE, static_cast<DWORD>(DIDFT_ANYINSTANCE)) << index;
    if (object.dwType & DIDFT_AXIS) {
      const bool slider = object.pguid && IsEqualGUID(*object.pguid, GUID_Slider);
      (slider ? sliders : axes)++;
      axisPlaces.insert(object.dwOfs);
      EXPECT_LE(object.dwOfs + 4, offsetof(ControllerState, hats)) << index;
      EXPECT_EQ(object.dwOfs % 4, 0u);
      EXPECT_NE(object.dwFlags & DIDOI_ASPECTMASK, 0u) << "every axis names its aspect";
    } else if (object.dwType & DIDFT_POV) {
      ++hats;
      hatPlaces.insert(object.dwOfs);
    } else {
      ASSERT_NE(object.dwType & DIDFT_BUTTON, 0u) << index;
      ++buttons;
      buttonPlaces.insert(object.dwOfs);
    }
  }
  EXPECT_EQ(axes, 24);    // six axes in four aspects
  EXPECT_EQ(sliders, 8);  // two per aspect, sharing two places
  EXPECT_EQ(axisPlaces.size(), 26u);
  EXPECT_EQ(hats, 4);
  EXPECT_EQ(hatPlaces, (std::set<DWORD>{104, 108, 112, 116}));
  EXPECT_EQ(buttons, 16);
  EXPECT_EQ(*buttonPlaces.begin(), 120u);
  EXPECT_EQ(*buttonPlaces.rbegin(), 135u);
  EXPECT_EQ(buttonPlaces.size(), 16u);
}

}  // namespace
}  // namespace vela::input
