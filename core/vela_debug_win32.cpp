// VelaDebug on Windows: the HTML log in a C stream opened in text mode, its lock, the console
// echo, and the conversion of the sources' UTF-8 formats into the file's Shift-JIS.
#include <cstdarg>
#include <cstdio>
#include <utility>

#include "core/html_log.h"
#include "core/process_heap.h"
#include "core/vela_core.h"
#include "core/vela_debug.h"
#include "core/vela_log.h"

namespace vela {
namespace {

constexpr UINT kShiftJis = 932;

class FileOutput final : public LogOutput {
 public:
  explicit FileOutput(FILE* file) : file_(file) {}
  void Write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), file_); }
  void Print(const char* format, std::va_list args) override { std::vfprintf(file_, format, args); }
  void Flush() override { std::fflush(file_); }

 private:
  FILE* file_;
};

class ConsoleEcho final : public LogEcho {
 public:
  explicit ConsoleEcho(HANDLE console) : console_(console) {}
  void SetColour(std::uint16_t attributes) override { SetConsoleTextAttribute(console_, attributes); }
  void Write(std::string_view text) override {
    DWORD written = 0;
    WriteFile(console_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }

 private:
  HANDLE console_;
};

struct LogState {
  LogSettings settings;
  FILE* file = nullptr;
  FileOutput output{nullptr};
  ConsoleEcho echo{nullptr};
  CRITICAL_SECTION lock;
  HtmlLog html;
  bool consoleAllocated = false;  // only a console the log opened is freed again
};

LogState& Log() {
  static LogState state;
  return state;
}

// Echoes the log to the console: one of the log's own, or the host's when it has one already
// (AllocConsole then fails and the host's output handle is used as it is).
void StartConsoleEcho(LogState& log) {
  log.consoleAllocated = AllocConsole() != FALSE;
  const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!console || console == INVALID_HANDLE_VALUE) return;
  log.echo = ConsoleEcho(console);
  log.html.SetEcho(&log.echo);
}

// Formats an entry as UTF-8 (every text of the library is UTF-8, its arguments too) and holds
// it in the file's code page. Falls back to the UTF-8 bytes when it cannot convert (or the heap
// refuses): the entry then shows mojibake instead of going missing.
class ShiftJisEntry {
 public:
  ShiftJisEntry(const char* format, std::va_list args) {
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) return;
    utf8_.reset(static_cast<char*>(HeapAllocate(static_cast<std::size_t>(length) + 1)));
    if (!utf8_) return;
    std::vsnprintf(utf8_.get(), static_cast<std::size_t>(length) + 1, format, args);
    text_ = utf8_.get();
    Convert();
  }
  const char* Text() const { return text_; }

 private:
  void Convert() {
    const int units = MultiByteToWideChar(CP_UTF8, 0, text_, -1, nullptr, 0);
    if (units <= 0) return;
    HeapPtr<wchar_t> wide(static_cast<wchar_t*>(HeapAllocate(units * sizeof(wchar_t))));
    if (!wide || MultiByteToWideChar(CP_UTF8, 0, text_, -1, wide.get(), units) != units) return;
    const int bytes = WideCharToMultiByte(kShiftJis, 0, wide.get(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return;
    shiftJis_.reset(static_cast<char*>(HeapAllocate(bytes)));
    if (!shiftJis_ ||
        WideCharToMultiByte(kShiftJis, 0, wide.get(), units, shiftJis_.get(), bytes, nullptr, nullptr) != bytes) {
      shiftJis_.reset();
      return;
    }
    text_ = shiftJis_.get();
  }

  HeapPtr<char> utf8_;
  HeapPtr<char> shiftJis_;
  const char* text_ = "";
};

// The log framing formats what it writes; the entry is handed over as its one argument.
void WriteEntry(LogStyle style, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  Log().html.Write(style, format, args);
  va_end(args);
}

void WriteStyled(LogStyle style, const char* format, std::va_list args) {
  LogState& log = Log();
  if (!log.file) return;
  const ShiftJisEntry entry(format, args);
  EnterCriticalSection(&log.lock);
  WriteEntry(style, "%s", entry.Text());
  LeaveCriticalSection(&log.lock);
}

}  // namespace

#define VELA_LOG_STYLED(name, style)      \
  void name(const char* format, ...) {    \
    std::va_list args;                    \
    va_start(args, format);               \
    WriteStyled(style, format, args);     \
    va_end(args);                         \
  }

VELA_LOG_STYLED(LogHeadRow, LogStyle::kHeadRow)
VELA_LOG_STYLED(LogBlue, LogStyle::kBlue)
VELA_LOG_STYLED(LogRed, LogStyle::kRed)
VELA_LOG_STYLED(LogGreen, LogStyle::kGreen)
VELA_LOG_STYLED(LogBold, LogStyle::kBold)
VELA_LOG_STYLED(LogPlain, LogStyle::kPlain)
#undef VELA_LOG_STYLED

void LogBreak() {
  LogState& log = Log();
  if (!log.file) return;
  EnterCriticalSection(&log.lock);
  log.html.Break();
  LeaveCriticalSection(&log.lock);
}

void ConfigureLog(const LogSettings& settings) { Log().settings = settings; }

bool LogIsOpen() { return Log().file != nullptr; }

void OpenLog() {
  LogState& log = Log();
  if (log.file || log.settings.file[0] == '\0') return;
  RestoreWorkingDirectory();
  FILE* file = std::fopen(log.settings.file, "wt");
  if (!file) return;
  InitializeCriticalSection(&log.lock);
  EnterCriticalSection(&log.lock);
  log.file = file;
  log.output = FileOutput(file);
  log.html.Open(log.output, log.settings.title);
  if (log.settings.console) StartConsoleEcho(log);
  LeaveCriticalSection(&log.lock);
}

void CloseLog() {
  LogState& log = Log();
  if (!log.file) return;
  EnterCriticalSection(&log.lock);
  log.html.Close();
  std::fclose(log.file);
  log.file = nullptr;
  LeaveCriticalSection(&log.lock);
  if (std::exchange(log.consoleAllocated, false)) FreeConsole();
  DeleteCriticalSection(&log.lock);
}

}  // namespace vela
