// HtmlLog: the HTML framing of the library's log, free of files, locks and code pages.
//
// Open writes the 14-line head, each styled write frames one printf-formatted text (a head row
// in a full-width black table, the colours in bold FONT tags), Break ends an entry with "<BR>",
// and Close writes the footer. Every operation flushes, so a crash loses nothing logged. The
// echo, when given, receives the bare text (at most 1023 bytes of it) in the style's console
// colour. The caller owns the lock and the conversion of formats into the file's code page.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string_view>

namespace vela {

enum class LogStyle { kHeadRow, kBlue, kRed, kGreen, kBold, kPlain };

// Where the log's bytes go.
class LogOutput {
 public:
  virtual ~LogOutput() = default;
  virtual void Write(std::string_view text) = 0;
  virtual void Print(const char* format, std::va_list args) = 0;
  virtual void Flush() = 0;
};

// The console that repeats the log's texts.
class LogEcho {
 public:
  virtual ~LogEcho() = default;
  virtual void SetColour(std::uint16_t attributes) = 0;
  virtual void Write(std::string_view text) = 0;
};

// The console colour a style shows in, or 0 when it leaves the colour as it is.
std::uint16_t ConsoleColourOf(LogStyle style);
inline constexpr std::uint16_t kConsoleDefaultColour = 0x07;
inline constexpr std::size_t kEchoBufferBytes = 1024;

class HtmlLog {
 public:
  // Starts a log on `output` (which must outlive it) and writes the head with `title`.
  void Open(LogOutput& output, const char* title);
  // Echo is attached after the head, as the console opens after it.
  void SetEcho(LogEcho* echo) { echo_ = echo; }
  bool IsOpen() const { return output_ != nullptr; }

  void Write(LogStyle style, const char* format, std::va_list args);
  void Break();
  // Writes the footer and lets go of the output and the echo.
  void Close();

 private:
  void Echo(LogStyle style, const char* format, std::va_list args);

  LogOutput* output_ = nullptr;
  LogEcho* echo_ = nullptr;
};

}  // namespace vela
