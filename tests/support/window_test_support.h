// What the library's and the host harness's window tests share: files, PNG pictures made by our
// codec, Shift-JIS log text, pixels compared with a tolerance, and key events for SendInput.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "imagecodec/imagecodec.h"

namespace vela::test {

// Opaque A8R8G8B8 colours with every channel all ones or all zeros.
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBlack = 0xFF000000;

// A colour as the screen and the back buffer read back: 0x00RRGGBB.
constexpr std::uint32_t Rgb(std::uint32_t argb) { return argb & 0x00FFFFFF; }

namespace detail {

inline HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path.c_str(), access, share, nullptr, disposition, 0, nullptr);
}
inline HANDLE Open(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileW(path.c_str(), access, share, nullptr, disposition, 0, nullptr);
}

inline std::string Convert(std::string_view text, UINT from, UINT to) {
  const int units = MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  const int bytes = WideCharToMultiByte(to, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(to, 0, wide.data(), units, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace detail

// The file's bytes, empty when it cannot be opened; a log still open elsewhere can be read.
template <typename Path>
std::string ReadWholeFile(const Path& path) {
  std::string bytes;
  const HANDLE file = detail::Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// Replaces the file with `bytes`; false when it cannot be written whole.
template <typename Path>
bool WriteWholeFile(const Path& path, std::string_view bytes) {
  const HANDLE file = detail::Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD written = 0;
  const bool whole = file != INVALID_HANDLE_VALUE &&
                     WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size();
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return whole;
}

inline std::string_view AsChars(const std::vector<std::uint8_t>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

// A PNG file, encoded by our codec, whose A8R8G8B8 colour at (x, y) is colourAt(x, y).
template <typename ColourAt>
std::vector<std::uint8_t> Png(std::uint32_t width, std::uint32_t height, ColourAt colourAt) {
  std::vector<std::uint32_t> argb(std::size_t{width} * height);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) argb[std::size_t{y} * width + x] = colourAt(x, y);
  }
  const codec::ConstSurfaceView view(codec::PixelFormat::kA8R8G8B8, width, height, width * 4,
                                     reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  EXPECT_EQ(codec::SaveToMemory(codec::FileFormat::kPng, view, png), codec::Result::kOk);
  return png;
}

// The quadrant picture most tests draw: red, green / blue, `lowerRight`.
inline std::uint32_t QuadrantColour(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t height,
                                    std::uint32_t lowerRight = kWhite) {
  const bool right = x >= width / 2;
  return y < height / 2 ? (right ? kGreen : kRed) : (right ? lowerRight : kBlue);
}

inline std::vector<std::uint8_t> QuadrantPng(std::uint32_t width, std::uint32_t height,
                                             std::uint32_t lowerRight = kWhite) {
  return Png(width, height, [&](std::uint32_t x, std::uint32_t y) {
    return QuadrantColour(x, y, width, height, lowerRight);
  });
}

// The pixels of `image` (At(x, y) answering 0x00RRGGBB) that differ from the quadrant picture
// stretched over it; the first is reported.
template <typename Image>
int CountWrongQuadrantPixels(const Image& image) {
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t expected =
          Rgb(QuadrantColour(x, y, static_cast<std::uint32_t>(image.width), static_cast<std::uint32_t>(image.height)));
      if (image.At(x, y) != expected && wrong++ == 0) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << image.At(x, y) << ", expected 0x"
                      << expected;
      }
    }
  }
  return wrong;
}

// Red, green and blue each within `tolerance` of the expected colour's; alpha is not compared.
inline bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((actual >> shift) & 0xFF);
    const int e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

#define EXPECT_PIXEL(image, x, y, colour, tolerance)                                                       \
  EXPECT_PRED3(::vela::test::Near, (image).At(x, y), ::vela::test::Rgb(colour), tolerance) \
      << "at (" << (x) << ", " << (y) << ")"

// UTF-8 text as the log file holds it: Shift-JIS, with the text mode's CR before every LF.
inline std::string AsLogBytes(std::string_view utf8) {
  std::string out;
  for (char c : detail::Convert(utf8, CP_UTF8, 932)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// The log file's Shift-JIS bytes as UTF-8 (line ends kept as they are).
inline std::string FromLogBytes(std::string_view shiftJis) { return detail::Convert(shiftJis, 932, CP_UTF8); }

// A log entry as the log's styles write it: red (an error), bold, or plain.
inline std::string Red(const std::string& text) { return "<B><FONT color=\"RED\">" + text + "</FONT></B><BR>\n"; }
inline std::string Bold(const std::string& text) { return "<B>" + text + "</B><BR>\n"; }
inline std::string Plain(const std::string& text) { return text + "<BR>\n"; }

// Every piece (UTF-8) found in the log file's bytes, in this order.
inline void ExpectInOrder(const std::string& log, const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (const std::string& piece : pieces) {
    at = log.find(AsLogBytes(piece), at);
    ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << piece;
  }
}

// A key press or release for SendInput, with the DIK_ scan code beside the virtual key: Wine
// hands DirectInput the event's own scan code.
inline INPUT KeyEvent(WORD virtualKey, WORD scanCode, bool down) {
  INPUT input = {.type = INPUT_KEYBOARD};
  input.ki = {.wVk = virtualKey, .wScan = scanCode, .dwFlags = down ? 0u : DWORD{KEYEVENTF_KEYUP}};
  return input;
}

}  // namespace vela::test
