// Vela3D on Wine's Direct3D 9: a device on a window of the test's own, the pixels that clears
// and fills leave in the back buffer and on the screen, nested scenes, the state cache as the
// device sees it, a forced restore and the device's last reference.
#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/com_ptr.h"
#include "core/device_loss.h"
#include "graphics/format_kind.h"
#include "graphics/vela3d.h"
#include "host/script_host.h"
#include "plugin/export_functions.h"
#include "tests/graphics/core_stub.h"


namespace vela {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;

HWND CreateTestWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Vela3DTestWindow";
  RegisterClassA(&windowClass);
  RECT frame = {0, 0, kWidth, kHeight};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowA("Vela3DTestWindow", "Vela3D test", WS_OVERLAPPEDWINDOW, 0, 0,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  return window;
}

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

std::uint16_t FpuControlWord() {
  std::uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

// The back buffer's pixels (colour bits only), copied through a system-memory surface.
std::vector<std::uint32_t> ReadBackBuffer() {
  IDirect3DDevice9* device = Vela3D::Device();
  IDirect3DSurface9* backBuffer = Vela3D::BackBuffer();
  std::vector<std::uint32_t> pixels;
  if (!device || !backBuffer) return pixels;
  D3DSURFACE_DESC desc = {};
  backBuffer->GetDesc(&desc);
  ComPtr<IDirect3DSurface9> copy;
  if (FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                 copy.Out(), nullptr)) ||
      FAILED(device->GetRenderTargetData(backBuffer, copy.Get()))) {
    return pixels;
  }
  D3DLOCKED_RECT locked = {};
  if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return pixels;
  pixels.resize(std::size_t{desc.Width} * desc.Height);
  for (UINT y = 0; y < desc.Height; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + std::size_t{y} * locked.Pitch;
    for (UINT x = 0; x < desc.Width; ++x) {
      std::uint32_t pixel;
      std::memcpy(&pixel, row + x * 4, 4);
      pixels[std::size_t{y} * desc.Width + x] = pixel & 0x00FFFFFF;
    }
  }
  copy->UnlockRect();
  return pixels;
}

// Counts the pixels that differ from a target cleared to `background` with one rectangle of
// `fill`, and reports the first.
int CountWrongPixels(const std::vector<std::uint32_t>& pixels, RECT filled, std::uint32_t background,
                     std::uint32_t fill) {
  int wrong = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= filled.left && x < filled.right && y >= filled.top && y < filled.bottom;
      const std::uint32_t expected = inside ? fill : background;
      const std::uint32_t actual = pixels[std::size_t(y) * kWidth + x];
      if (actual != expected && wrong++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << actual << ", expected 0x" << expected;
      }
    }
  }
  return wrong;
}

// What the user sees: the window's client area copied from the screen (colour bits only).
std::vector<std::uint32_t> ReadWindowFromScreen(HWND window) {
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint32_t> pixels;
  if (section && bits) {
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, kWidth, kHeight, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    pixels.resize(std::size_t{kWidth} * kHeight);
    std::memcpy(pixels.data(), bits, pixels.size() * 4);
    for (std::uint32_t& pixel : pixels) pixel &= 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(section);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

DWORD DeviceRenderState(D3DRENDERSTATETYPE state) {
  DWORD value = 0xDEADBEEF;
  Vela3D::Device()->GetRenderState(state, &value);
  return value;
}

DWORD DeviceSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) {
  DWORD value = 0xDEADBEEF;
  Vela3D::Device()->GetSamplerState(sampler, type, &value);
  return value;
}

class Vela3DDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    window = CreateTestWindow();
    ASSERT_NE(window, nullptr);
    test::SetScreen(window, kWidth, kHeight, true);
    test::ClearLog();
    fpuBefore = FpuControlWord();
    ASSERT_TRUE(Vela3D::Initialize());
    ASSERT_TRUE(Vela3D::Start(window, true)) << test::LoggedText();
    ASSERT_NE(Vela3D::Device(), nullptr);
  }

  void TearDown() override {
    Vela3D::Release();
    DestroyWindow(window);
    EXPECT_TRUE(test::ErrorBoxes().empty()) << test::ErrorBoxes().front().text;
  }

  std::int32_t Call(vela::plugin::ExportFunction function) { return host.Call(function); }

  HWND window = nullptr;
  std::uint16_t fpuBefore = 0;
  host::ScriptHost host;
};

TEST_F(Vela3DDevice, StartsAMixedHalDeviceWithTheKeptParameters) {
  const std::string& log = test::LoggedText();
  EXPECT_NE(log.find("Direct3Dデバイスを [ D3DDEVTYPE_HAL ] [ D3DCREATE_MIXED_VERTEXPROCESSING ] で生成"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("　　　Format [ X8R8G8B8 ]"), std::string::npos);
  EXPECT_NE(log.find("　深度テスト能力\n"), std::string::npos);
  EXPECT_NE(log.find("　現在のデバイス情報を取得\n"), std::string::npos);
  // The device was created with the x87 precision left alone (RandF computes in extended
  // precision).
  EXPECT_EQ(FpuControlWord() & 0x300, fpuBefore & 0x300);

  const D3DPRESENT_PARAMETERS& parameters = Vela3D::WindowedParameters();
  EXPECT_EQ(parameters.BackBufferWidth, UINT{kWidth});
  EXPECT_EQ(parameters.BackBufferHeight, UINT{kHeight});
  EXPECT_EQ(parameters.BackBufferFormat, D3DFMT_X8R8G8B8);
  EXPECT_EQ(parameters.Flags, DWORD{D3DPRESENTFLAG_LOCKABLE_BACKBUFFER});
  EXPECT_EQ(parameters.SwapEffect, D3DSWAPEFFECT_DISCARD);
  EXPECT_EQ(parameters.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
  EXPECT_FALSE(Vela3D::FullScreenParameters().Windowed);
  D3DSURFACE_DESC desc = {};
  ASSERT_NE(Vela3D::BackBuffer(), nullptr);
  Vela3D::BackBuffer()->GetDesc(&desc);
  EXPECT_EQ(desc.Width, UINT{kWidth});
  EXPECT_EQ(desc.Height, UINT{kHeight});
  EXPECT_NE(Vela3D::EventQuery(), nullptr);
  EXPECT_NE(Vela3D::AdapterMonitor(), nullptr);

  EXPECT_EQ(Vela3D::ResolveFormat(FORMAT_TEXTURE, D3DFMT_UNKNOWN), D3DFMT_A8R8G8B8);
  EXPECT_EQ(Vela3D::ResolveFormat(FORMAT_TEXTURE_COMPRESSED, D3DFMT_UNKNOWN), D3DFMT_DXT5);
  EXPECT_EQ(Vela3D::ResolveFormat(FORMAT_BACKBUFFER, D3DFMT_UNKNOWN), D3DFMT_X8R8G8B8);
  EXPECT_EQ(Vela3D::ResolveFormat(FORMAT_GIVEN, D3DFMT_L8), D3DFMT_L8);
  char name[32] = "";
  EXPECT_STREQ(Vela3D::FormatName(D3DFMT_DXT1, name), "DXT1");
  EXPECT_STREQ(name, "DXT1");
  EXPECT_STREQ(Vela3D::FormatName(static_cast<D3DFORMAT>(1)), "DXT1") << "an unnamed format keeps the last name";
  EXPECT_EQ(Vela3D::Caps().maxTextureWidth, 16384u);
}

TEST_F(Vela3DDevice, ClearAndColorFillThroughTheExports) {
  host.ClearStack();
  EXPECT_EQ(Call(&BeginScene), -1);
  EXPECT_TRUE(host.PopBool());
  host.PushInt(static_cast<std::int32_t>(0xFF000000 | kBlue));
  EXPECT_EQ(Call(&Clear), 4);
  host.PushInt(10).PushInt(20).PushInt(30).PushInt(40).PushInt(static_cast<std::int32_t>(0xFF000000 | kGreen));
  EXPECT_EQ(Call(&ColorFill), 20);
  // The host's argument words now read left, top, right, bottom.
  std::int32_t words[4];
  std::memcpy(words, host.Pointer(host.Top()), sizeof words);
  EXPECT_EQ(words[2], 40);
  EXPECT_EQ(words[3], 60);
  EXPECT_EQ(Call(&EndScene), 0);

  const std::vector<std::uint32_t> pixels = ReadBackBuffer();
  ASSERT_EQ(pixels.size(), std::size_t{kWidth} * kHeight);
  EXPECT_EQ(CountWrongPixels(pixels, RECT{10, 20, 40, 60}, kBlue, kGreen), 0);
}

TEST_F(Vela3DDevice, PresentedFrameReachesTheWindow) {
  // A few frames as the host's loop makes them: under Wine the very first presentation to a
  // freshly mapped window can be lost, the following ones show.
  const RECT fill = {100, 100, 300, 200};
  for (int frame = 0; frame < 3; ++frame) {
    Vela3D::BeginScene();
    Vela3D::Clear(D3DCLEAR_TARGET, 0xFF000000 | kBlue, 1.0f, 0, nullptr);
    Vela3D::FillRect(&fill, 0xFF000000 | kGreen);
    Vela3D::EndScene();
    EXPECT_EQ(Call(&Refresh), 0);
    PumpMessages(50);
  }
  const std::vector<std::uint32_t> shown = ReadWindowFromScreen(window);
  ASSERT_EQ(shown.size(), std::size_t{kWidth} * kHeight);
  EXPECT_EQ(CountWrongPixels(shown, fill, kBlue, kGreen), 0);
}

TEST_F(Vela3DDevice, NestedScenesReachTheDeviceOnce) {
  IDirect3DDevice9* device = Vela3D::Device();
  EXPECT_TRUE(Vela3D::BeginScene());
  EXPECT_TRUE(Vela3D::BeginScene());
  // The device is inside one scene: a second BeginScene of its own is refused.
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
  Vela3D::EndScene();
  EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL) << "the inner end did not end the device's scene";
  Vela3D::EndScene();
  EXPECT_EQ(device->BeginScene(), D3D_OK) << "the outer end did";
  EXPECT_EQ(device->EndScene(), D3D_OK);

  // An end without a begin only counts: the next begin brings the depth back to 0.
  Vela3D::EndScene();
  EXPECT_TRUE(Vela3D::BeginScene());
  EXPECT_EQ(device->BeginScene(), D3D_OK);
  EXPECT_EQ(device->EndScene(), D3D_OK);
}

TEST_F(Vela3DDevice, StartUpDefaultsAreOnTheDevice) {
  EXPECT_EQ(DeviceRenderState(D3DRS_LIGHTING), DWORD{FALSE});
  EXPECT_EQ(DeviceRenderState(D3DRS_ZENABLE), DWORD{FALSE});
  EXPECT_EQ(DeviceRenderState(D3DRS_ALPHABLENDENABLE), DWORD{TRUE});
  EXPECT_EQ(DeviceRenderState(D3DRS_CULLMODE), DWORD{D3DCULL_NONE});
  DWORD op = 0;
  Vela3D::Device()->GetTextureStageState(0, D3DTSS_COLOROP, &op);
  EXPECT_EQ(op, DWORD{D3DTOP_MODULATE});
  Vela3D::Device()->GetTextureStageState(1, D3DTSS_ALPHAOP, &op);
  EXPECT_EQ(op, DWORD{D3DTOP_DISABLE});
  EXPECT_EQ(DeviceSamplerState(3, D3DSAMP_MINFILTER), DWORD{D3DTEXF_LINEAR});
  D3DVIEWPORT9 viewport = {};
  Vela3D::Device()->GetViewport(&viewport);
  EXPECT_EQ(viewport.Width, DWORD{kWidth});
  EXPECT_EQ(viewport.MaxZ, 1.0f);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(viewport.MinZ), 0x15F79688u);
}

TEST_F(Vela3DDevice, CachedStatesAreSentOnlyWhenTheyChange) {
  host.PushInt(1);
  EXPECT_EQ(Call(&SetBlendingType), 4);
  EXPECT_EQ(DeviceRenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_SRCALPHA});
  EXPECT_EQ(DeviceRenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_INVSRCALPHA});

  // Changed behind the cache's back: the same blending type again sends nothing.
  Vela3D::Device()->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
  Vela3D::SetBlendingType(1);
  EXPECT_EQ(DeviceRenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_ZERO});
  // A type outside the table changes nothing either.
  host.PushInt(-1);
  EXPECT_EQ(Call(&SetBlendingType), 4);
  EXPECT_EQ(Vela3D::CachedRenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_INVSRCALPHA});
  // A different type goes through.
  Vela3D::SetBlendingType(4);
  EXPECT_EQ(DeviceRenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_ZERO});
  EXPECT_EQ(DeviceRenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_SRCCOLOR});

  // The per-frame step turns depth test and write off again.
  Vela3D::SetRenderState(D3DRS_ZENABLE, TRUE);
  EXPECT_EQ(DeviceRenderState(D3DRS_ZENABLE), DWORD{TRUE});
  EXPECT_TRUE(Vela3D::FrameStep());
  EXPECT_EQ(DeviceRenderState(D3DRS_ZENABLE), DWORD{FALSE});

  // The filter switch.
  Vela3D::SetFilter(false);
  EXPECT_EQ(DeviceSamplerState(2, D3DSAMP_MAGFILTER), DWORD{D3DTEXF_POINT});
  Vela3D::SetFilter(true);
  EXPECT_NE(DeviceSamplerState(2, D3DSAMP_MAGFILTER), DWORD{D3DTEXF_POINT});
}

TEST_F(Vela3DDevice, ScissoringExportConvertsTheRectangleInPlace) {
  host.PushBool(true).PushInt(10).PushInt(20).PushInt(30).PushInt(40);
  EXPECT_EQ(Call(&SetScissoring), 17);
  std::int32_t words[4];
  std::memcpy(words, host.Pointer(host.Top() + 1), sizeof words);
  EXPECT_EQ(words[0], 9);
  EXPECT_EQ(words[1], 19);
  EXPECT_EQ(words[2], 39);
  EXPECT_EQ(words[3], 59);
  host.ClearStack();
  host.PushBool(false).PushInt(10).PushInt(20).PushInt(30).PushInt(40);
  EXPECT_EQ(Call(&SetScissoring), 17);
  std::memcpy(words, host.Pointer(host.Top() + 1), sizeof words);
  EXPECT_EQ(words[2], 40) << "disabled: converted to left, top, right, bottom only";
}

class LossRecorder final : public DeviceLossHandler {
 public:
  explicit LossRecorder(std::string name, std::string& log) : name_(std::move(name)), log_(log) {}
  void OnLostDevice() override {
    // Default-pool resources are given up while the back buffer is still held.
    log_ += name_ + "-lost" + (Vela3D::BackBuffer() ? "(bb) " : " ");
  }
  void OnResetDevice() override { log_ += name_ + "-reset" + (Vela3D::BackBuffer() ? "(bb) " : " "); }

 private:
  std::string name_;
  std::string& log_;
};

TEST_F(Vela3DDevice, ForcedRestoreBringsTheDeviceAndTheStatesBack) {
  std::string log;
  LossRecorder surfaces("surfaces", log), textures("textures", log);
  JoinDeviceLoss(DeviceLossSlot::kSurfaces, &surfaces);
  JoinDeviceLoss(DeviceLossSlot::kTextures, &textures);
  Vela3D::SetBlendingType(3);
  Vela3D::SetFilter(true);

  Vela3D::Restore(false);
  EXPECT_EQ(log, "") << "an operational device is not restored without force";
  Vela3D::Restore(true);
  LeaveDeviceLoss(DeviceLossSlot::kSurfaces);
  LeaveDeviceLoss(DeviceLossSlot::kTextures);

  EXPECT_EQ(log, "textures-lost(bb) surfaces-lost(bb) textures-reset(bb) surfaces-reset(bb) ");
  IDirect3DDevice9* device = Vela3D::Device();
  EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
  EXPECT_NE(Vela3D::BackBuffer(), nullptr);
  EXPECT_NE(Vela3D::EventQuery(), nullptr);
  // The reset put the device's states back to Direct3D's defaults; the cache wrote ours back.
  EXPECT_EQ(DeviceRenderState(D3DRS_SRCBLEND), DWORD{D3DBLEND_ONE});
  EXPECT_EQ(DeviceRenderState(D3DRS_DESTBLEND), DWORD{D3DBLEND_ONE});
  EXPECT_EQ(DeviceRenderState(D3DRS_CULLMODE), DWORD{D3DCULL_NONE});
  EXPECT_EQ(DeviceRenderState(D3DRS_LIGHTING), DWORD{FALSE});
  EXPECT_NE(DeviceSamplerState(0, D3DSAMP_MAGFILTER), DWORD{D3DTEXF_POINT});

  // And it draws again.
  EXPECT_TRUE(Vela3D::BeginScene());
  Vela3D::Clear(D3DCLEAR_TARGET, 0xFF000000 | kGreen, 1.0f, 0, nullptr);
  const RECT fill = {0, 0, 64, 32};
  Vela3D::FillRect(&fill, 0xFF000000 | kBlue);
  Vela3D::EndScene();
  const std::vector<std::uint32_t> pixels = ReadBackBuffer();
  ASSERT_EQ(pixels.size(), std::size_t{kWidth} * kHeight);
  EXPECT_EQ(CountWrongPixels(pixels, fill, kGreen, kBlue), 0);
}

TEST_F(Vela3DDevice, ReleaseGivesBackEveryDeviceReference) {
  // Keep d3d9.dll and the device alive past Release to read the device's last count.
  HMODULE pin = LoadLibraryA("d3d9.dll");
  Vela3D::Restore(true);  // the re-created back buffer and queries must go too
  IDirect3DDevice9* device = Vela3D::Device();
  device->AddRef();
  Vela3D::Release();
  EXPECT_EQ(Vela3D::Device(), nullptr);
  EXPECT_EQ(Vela3D::BackBuffer(), nullptr);
  EXPECT_EQ(device->Release(), 0u) << "Vela3D kept a reference on the device";
  const std::string& log = test::LoggedText();
  EXPECT_NE(log.find("IDirect3DQuery9インターフェースを解放\nIDirect3DQuery9インターフェースを解放\n"
                     "Direct3Dデバイスを解放Direct3Dオブジェクトを解放DLLを解放\n"),
            std::string::npos)
      << log.substr(log.size() > 400 ? log.size() - 400 : 0);
  Vela3D::Release();  // a second release finds nothing to do
  FreeLibrary(pin);
}

}  // namespace
}  // namespace vela
