// What the window tests share: the plug-in's Init, WaitMsg and End called through the host
// harness, a clean end for every test (the window closed, the loop drained, End called), the
// log settings file beside the executable, and Shift-JIS expectations written in UTF-8.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host/message_box_capture.h"
#include "host/plugin_module.h"
#include "host/script_host.h"

namespace vela::test {

class AppFrame {
 public:
  explicit AppFrame(std::u16string title) : title_(std::move(title)) {}
  ~AppFrame() { Finish(); }
  AppFrame(const AppFrame&) = delete;
  AppFrame& operator=(const AppFrame&) = delete;

  bool Loaded() const { return plugin_.Loaded(); }

  bool Init(std::int32_t serviceFlags, std::int32_t width, std::int32_t height) {
    host_.ClearStack();
    host_.PushString(host_.MakeString(title_)).PushInt(serviceFlags).PushInt(width).PushInt(height);
    EXPECT_EQ(host_.Call(plugin_.Find("Init")), 23);
    initialised_ = true;
    return host_.PopBool();
  }

  bool WaitMsg() {
    host_.ClearStack();
    EXPECT_EQ(host_.Call(plugin_.Find("WaitMsg")), -1);
    return host_.PopBool();
  }

  void End() {
    initialised_ = false;
    host_.ClearStack();
    EXPECT_EQ(host_.Call(plugin_.Find("End")), 0);
  }

  HWND Window() const {
    const auto* name = reinterpret_cast<const wchar_t*>(title_.c_str());
    return FindWindowW(name, name);
  }

  // Closes the window if it is still there, runs the loop until it ends, and calls End.
  void Finish() {
    if (!initialised_) return;
    if (HWND window = Window()) {
      PostMessageW(window, WM_CLOSE, 0, 0);
      for (int frame = 0; frame < 100 && WaitMsg(); ++frame) {
      }
    }
    End();
  }

 private:
  std::u16string title_;
  host::PluginModule plugin_;
  host::ScriptHost host_;
  bool initialised_ = false;
};

// The folder of the running executable, with its trailing backslash.
inline std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  folder.resize(folder.find_last_of(L'\\') + 1);
  return folder;
}

// velaplugin.ini beside the executable for the life of the object: the boot reads it.
class LogSettingsFile {
 public:
  LogSettingsFile(const std::wstring& logFile, const std::wstring& title)
      : path_(ExecutableFolder() + L"velaplugin.ini"), logPath_(ExecutableFolder() + logFile) {
    DeleteFileW(logPath_.c_str());
    WritePrivateProfileStringW(L"log", L"file", logFile.c_str(), path_.c_str());
    WritePrivateProfileStringW(L"log", L"title", title.c_str(), path_.c_str());
    WritePrivateProfileStringW(L"log", L"console", L"0", path_.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());  // flush the cache
  }
  ~LogSettingsFile() {
    DeleteFileW(path_.c_str());
    DeleteFileW(logPath_.c_str());
  }
  const std::wstring& LogPath() const { return logPath_; }

 private:
  std::wstring path_;
  std::wstring logPath_;
};

inline std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// UTF-8 text as the log file holds it: Shift-JIS, with the text mode's CR before every LF.
inline std::string AsLogBytes(const std::string& utf8) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
  const int bytes = WideCharToMultiByte(932, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  std::string shiftJis(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(932, 0, wide.data(), units, shiftJis.data(), bytes, nullptr, nullptr);
  std::string out;
  for (char c : shiftJis) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace vela::test
