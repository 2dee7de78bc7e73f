#include "host/window_capture.h"

#include <cstring>

namespace vela::host {

void PumpMessagesFor(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

namespace {

// The screen DC and a memory DC holding a top-down 32-bit DIB section, released in reverse.
class ScreenCopy {
 public:
  ScreenCopy(int width, int height) : screen_(GetDC(nullptr)) {
    if (!screen_) return;
    memory_ = CreateCompatibleDC(screen_);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    section_ = CreateDIBSection(screen_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (memory_ && section_) previous_ = SelectObject(memory_, section_);
  }
  ~ScreenCopy() {
    if (previous_) SelectObject(memory_, previous_);
    if (section_) DeleteObject(section_);
    if (memory_) DeleteDC(memory_);
    if (screen_) ReleaseDC(nullptr, screen_);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;

  // Copies the screen rectangle at `origin` into the section; null on failure.
  const void* Copy(POINT origin, int width, int height) {
    if (!previous_ || !bits_) return nullptr;
    if (!BitBlt(memory_, 0, 0, width, height, screen_, origin.x, origin.y, SRCCOPY)) return nullptr;
    GdiFlush();
    return bits_;
  }

 private:
  HDC screen_ = nullptr;
  HDC memory_ = nullptr;
  HBITMAP section_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

}  // namespace

CapturedImage CaptureClientArea(HWND window) {
  CapturedImage image;
  RECT client;
  if (!window || !GetClientRect(window, &client)) return image;
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  POINT origin = {0, 0};
  if (width <= 0 || height <= 0 || !ClientToScreen(window, &origin)) return image;

  ScreenCopy copy(width, height);
  const void* bits = copy.Copy(origin, width, height);
  if (!bits) return image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height);
  std::memcpy(image.pixels.data(), bits, image.pixels.size() * sizeof(std::uint32_t));
  for (std::uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;  // GDI leaves alpha undefined
  return image;
}

}  // namespace vela::host
