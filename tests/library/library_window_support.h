// What the library's window tests share: temporary files, the log captured, a window with
// Vela3D started on it, and the back buffer read back.
#pragma once

#include <windows.h>

#include <d3d9.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/com_ptr.h"
#include "core/core_state.h"
#include "core/device_loss.h"
#include "core/vela_log.h"
#include "graphics/vela3d.h"
#include "tests/support/window_test_support.h"

namespace vela::test {

// `name` in the temporary folder, made unique to this process.
inline std::string TempPath(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "vela_test_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

// A file in the temporary folder, removed when the object goes.
class TempFile {
 public:
  TempFile(const std::string& name, std::string_view bytes) : path_(TempPath(name)) {
    EXPECT_TRUE(WriteWholeFile(path_, bytes)) << path_;
  }
  TempFile(const std::string& name, const std::vector<std::uint8_t>& bytes) : TempFile(name, AsChars(bytes)) {}
  ~TempFile() { DeleteFileA(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const char* Path() const { return path_.c_str(); }

 private:
  std::string path_;
};

// The log written to a temporary file while the object lives.
class LogCapture {
 public:
  LogCapture() : path_(TempPath("log_" + std::to_string(++made_) + ".html")) {
    LogSettings settings;
    std::snprintf(settings.file, sizeof settings.file, "%s", path_.c_str());
    ConfigureLog(settings);
    OpenLog();
    headLength_ = ReadWholeFile(path_).size();
  }
  ~LogCapture() {
    Close();
    DeleteFileA(path_.c_str());
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Ends the log (and with it the file's footer); later writes go nowhere.
  void Close() {
    if (!LogIsOpen()) return;
    CloseLog();
    ConfigureLog(LogSettings{});
  }
  // What was logged after the log's own head, as the file holds it (Shift-JIS, CR LF).
  std::string Bytes() const {
    const std::string bytes = ReadWholeFile(path_);
    return bytes.size() > headLength_ ? bytes.substr(headLength_) : std::string();
  }
  // Closes the log and answers what was logged after its head, as UTF-8.
  std::string Text() {
    Close();
    return FromLogBytes(Bytes());
  }

 private:
  static inline int made_ = 0;
  std::string path_;
  std::size_t headLength_ = 0;
};

// A shown window of the test's own with a `width` x `height` client area, made the core's main
// window, with Vela3D started on it (windowed) for the life of the object.
class Vela3DWindow {
 public:
  Vela3DWindow(const char* title, int width, int height) {
    const WNDCLASSA windowClass = {
        .lpfnWndProc = DefWindowProcA, .hInstance = GetModuleHandleA(nullptr), .lpszClassName = "VelaLibraryWindowTest"};
    RegisterClassA(&windowClass);  // fails harmlessly for every window after the first
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowA("VelaLibraryWindowTest", title, WS_OVERLAPPEDWINDOW, 0, 0, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window_, SW_SHOW);
    Core().mainWindow = window_;
    Core().screenWidth = width;
    Core().screenHeight = height;
    started_ = Vela3D::Initialize() && Vela3D::Start(window_, true);
  }
  ~Vela3DWindow() {
    Vela3D::Release();
    DestroyWindow(window_);
  }
  Vela3DWindow(const Vela3DWindow&) = delete;
  Vela3DWindow& operator=(const Vela3DWindow&) = delete;

  HWND Handle() const { return window_; }
  bool Started() const { return started_; }

 private:
  HWND window_ = nullptr;
  bool started_ = false;
};

inline int Occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Appends "name-lost " and "name-reset " to `calls` as the device-loss calls reach it, marked
// "(bb)" while the back buffer is still held.
struct LossRecorder final : DeviceLossHandler {
  LossRecorder(std::string recorded, std::string& into) : name(std::move(recorded)), calls(into) {}
  void OnLostDevice() override { calls += name + "-lost" + (Vela3D::BackBuffer() ? "(bb) " : " "); }
  void OnResetDevice() override { calls += name + "-reset" + (Vela3D::BackBuffer() ? "(bb) " : " "); }
  std::string name;
  std::string& calls;
};

// Pixels read back from the device: rows of X8R8G8B8 as they were locked.
struct Screen {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool Empty() const { return pixels.empty(); }
  std::uint32_t At(int x, int y) const { return Rgb(pixels[static_cast<std::size_t>(y) * width + x]); }
};

// The `width` x `height` 32-bit pixels of a locked rectangle.
inline Screen ReadLocked(const void* bits, std::uint32_t pitch, std::uint32_t width, std::uint32_t height) {
  Screen screen{static_cast<int>(width), static_cast<int>(height), std::vector<std::uint32_t>(std::size_t{width} * height)};
  for (std::uint32_t y = 0; y < height; ++y) {
    std::memcpy(&screen.pixels[std::size_t{y} * width], static_cast<const std::uint8_t*>(bits) + std::size_t{y} * pitch,
                std::size_t{width} * 4);
  }
  return screen;
}

// The 32-bit surface's pixels, copied to system memory first when it is in the default pool
// (render targets cannot be locked); empty when that fails.
inline Screen ReadSurface(IDirect3DSurface9* surface) {
  D3DSURFACE_DESC desc = {};
  surface->GetDesc(&desc);
  ComPtr<IDirect3DSurface9> copy;
  if (desc.Pool == D3DPOOL_DEFAULT) {
    if (FAILED(Vela3D::Device()->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                             copy.Out(), nullptr)) ||
        FAILED(Vela3D::Device()->GetRenderTargetData(surface, copy.Get()))) {
      return {};
    }
    surface = copy.Get();
  }
  D3DLOCKED_RECT locked = {};
  if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return {};
  Screen screen = ReadLocked(locked.pBits, static_cast<std::uint32_t>(locked.Pitch), desc.Width, desc.Height);
  surface->UnlockRect();
  return screen;
}

inline Screen ReadBackBuffer() { return ReadSurface(Vela3D::BackBuffer()); }

// Clears the back buffer to `background`, runs `draw` in a scene and reads the back buffer back.
template <typename Draw>
Screen DrawFrame(std::uint32_t background, Draw draw) {
  Vela3D::BeginScene();
  Vela3D::Clear(D3DCLEAR_TARGET, background, 1.0f, 0, nullptr);
  draw();
  Vela3D::EndScene();
  return ReadBackBuffer();
}

}  // namespace vela::test
