// Vela3D below the exports: the device made, a forced restore that brings the states back and
// draws again, and the device's last reference.

#include <tuple>

#include "tests/library/library_window_support.h"

namespace vela {
namespace {

using namespace test;

std::uint16_t FpuControlWord() {
  std::uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

TEST(Vela3DDevice, AMixedHalDeviceRestoredByForceWithItsStatesAndReleasedWithEveryReference) {
  LogCapture log;
  const std::uint16_t fpuBefore = FpuControlWord();
  Vela3DWindow window("Vela3D test", 320, 240);
  ASSERT_TRUE(window.Started());
  // RandF computes in extended precision: the device must not lower the x87 precision.
  EXPECT_EQ(FpuControlWord() & 0x300, fpuBefore & 0x300);
  EXPECT_EQ(Occurrences(log.Text(), "Direct3Dデバイスを [ D3DDEVTYPE_HAL ] [ D3DCREATE_MIXED_VERTEXPROCESSING ] で生成"), 1);

  std::string calls;
  LossRecorder surfaces("surfaces", calls), textures("textures", calls);
  JoinDeviceLoss(DeviceLossSlot::kSurfaces, &surfaces);
  JoinDeviceLoss(DeviceLossSlot::kTextures, &textures);
  Vela3D::SetBlendingType(3);
  Vela3D::Restore(false);
  EXPECT_EQ(calls, "") << "an operational device is not restored without force";
  Vela3D::Restore(true);
  LeaveDeviceLoss(DeviceLossSlot::kSurfaces);
  LeaveDeviceLoss(DeviceLossSlot::kTextures);
  // Default-pool resources are given up while the back buffer is still held.
  EXPECT_EQ(calls, "textures-lost(bb) surfaces-lost(bb) textures-reset(bb) surfaces-reset(bb) ");

  IDirect3DDevice9* device = Vela3D::Device();
  // The reset put the device's states back to Direct3D's defaults; the cache wrote ours back.
  for (auto [state, expected] : {std::pair{D3DRS_SRCBLEND, DWORD{D3DBLEND_ONE}}, {D3DRS_DESTBLEND, DWORD{D3DBLEND_ONE}},
                                  {D3DRS_CULLMODE, DWORD{D3DCULL_NONE}}, {D3DRS_LIGHTING, DWORD{FALSE}}}) {
    DWORD value = 0xDEADBEEF;
    device->GetRenderState(state, &value);
    EXPECT_EQ(value, expected) << "render state " << state;
  }
  // And it draws again.
  const RECT fill = {0, 0, 64, 32};
  const Screen shown = DrawFrame(kGreen, [&] { Vela3D::FillRect(&fill, kBlue); });
  ASSERT_FALSE(shown.Empty());
  for (auto [x, y, colour] : {std::tuple{0, 0, kBlue}, {63, 31, kBlue}, {64, 0, kGreen}, {0, 32, kGreen}}) {
    EXPECT_EQ(shown.At(x, y), Rgb(colour)) << "(" << x << ", " << y << ")";
  }

  // The re-created back buffer and queries go with the device: nothing keeps it alive.
  HMODULE pin = LoadLibraryA("d3d9.dll");  // keeps the device's code loaded to read its count
  device->AddRef();
  Vela3D::Release();
  EXPECT_EQ(Vela3D::Device(), nullptr);
  EXPECT_EQ(device->Release(), 0u) << "Vela3D kept a reference on the device";
  FreeLibrary(pin);
}

}  // namespace
}  // namespace vela
