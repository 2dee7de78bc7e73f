// What the host-level window tests share: Init, WaitMsg and End through the host harness with a
// clean end, files beside the executable, and the fixture that drives the exports.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/message_box_capture.h"
#include "host/plugin_module.h"
#include "host/script_host.h"
#include "host/window_capture.h"
#include "tests/support/window_test_support.h"

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

// velaplugin.ini beside the executable for the life of the object, empty at first: the boot reads
// it at every Init.
class SettingsFile {
 public:
  SettingsFile() : path_(ExecutableFolder() + L"velaplugin.ini") { DeleteFileW(path_.c_str()); }
  ~SettingsFile() { DeleteFileW(path_.c_str()); }
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  // Writes `key` into `section`; a null value takes the key out.
  void Set(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(section, key, value, path_.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());  // flush the cache
  }

 private:
  std::wstring path_;
};

// The settings file with a [log] section that names `logFile` beside the executable.
class LogSettingsFile : public SettingsFile {
 public:
  LogSettingsFile(const std::wstring& logFile, const std::wstring& title, bool console = false)
      : logPath_(ExecutableFolder() + logFile) {
    DeleteFileW(logPath_.c_str());
    Set(L"log", L"file", logFile.c_str());
    Set(L"log", L"title", title.c_str());
    Set(L"log", L"console", console ? L"1" : L"0");
  }
  ~LogSettingsFile() { DeleteFileW(logPath_.c_str()); }
  const std::wstring& LogPath() const { return logPath_; }

 private:
  std::wstring logPath_;
};

// A file beside the executable for the life of the object, named relative to that folder.
class FileBesideExecutable {
 public:
  FileBesideExecutable(std::u16string name, std::string_view bytes)
      : name_(std::move(name)), path_(ExecutableFolder() + std::wstring(name_.begin(), name_.end())) {
    EXPECT_TRUE(WriteWholeFile(path_, bytes));
  }
  FileBesideExecutable(std::u16string name, const std::vector<std::uint8_t>& bytes)
      : FileBesideExecutable(std::move(name), AsChars(bytes)) {}
  ~FileBesideExecutable() { DeleteFileW(path_.c_str()); }
  FileBesideExecutable(const FileBesideExecutable&) = delete;
  FileBesideExecutable& operator=(const FileBesideExecutable&) = delete;
  const std::u16string& Name() const { return name_; }

 private:
  std::u16string name_;
  std::wstring path_;
};

// The fixture of a test that drives the plug-in through the host harness: the DLL loaded,
// message boxes captured (a test that shows one fails), Init with the client size given (if
// any), every export called with its byte count checked, and the frame ended after each test.
class PluginWindowTest : public ::testing::Test {
 protected:
  explicit PluginWindowTest(std::u16string title, std::int32_t width = 0, std::int32_t height = 0)
      : frame(std::move(title)), width_(width), height_(height) {}

  void SetUp() override {
    ASSERT_TRUE(frame.Loaded() && plugin.Loaded()) << "velaplugin.dll did not load";
    ASSERT_TRUE(boxes.Installed());
    if (width_ > 0) {
      ASSERT_TRUE(frame.Init(0, width_, height_));
    }
  }
  void TearDown() override {
    frame.Finish();
    EXPECT_TRUE(boxes.Boxes().empty()) << "a message box was shown: " << boxes.Boxes().size();
  }

  // The export `name` called on the stack as pushed; answers the byte count it took.
  std::int32_t Call(const char* name) {
    const auto function = plugin.Find(name);
    EXPECT_NE(function, nullptr) << name;
    return function ? host.Call(function) : 0x7FFFFFFF;
  }

  // TextureLoad (or `loader`) of `file` into host variable `variable`, which holds a pattern
  // before; answers the handle written there.
  std::uint32_t Load(const std::u16string& file, int variable = 0, const char* loader = "TextureLoad",
                     bool absoluteRef = false) {
    host.ClearStack();
    host.SetVariable(variable, 0x5A5A5A5A);
    host.PushWord(absoluteRef ? host.AbsoluteRef(variable) : host.RelativeRef(variable));
    host.PushString(host.MakeString(file));
    EXPECT_EQ(Call(loader), 16) << loader;
    return static_cast<std::uint32_t>(host.Variable(variable));
  }

  std::uint32_t CreateSprite(std::int32_t capacity, int variable = 1) {
    host.ClearStack();
    host.SetVariable(variable, -1);
    host.PushWord(host.AbsoluteRef(variable)).PushInt(capacity);
    EXPECT_EQ(Call("SpriteCreate"), 8);
    return static_cast<std::uint32_t>(host.Variable(variable));
  }

  // The export `name` called with one word, a handle.
  void CallWithHandle(const char* name, std::uint32_t handle) {
    host.ClearStack();
    host.PushWord(handle);
    EXPECT_EQ(Call(name), 4) << name;
  }

  // One frame as the host's loop draws it: a clear to `background`, `inScene` between
  // BeginScene and EndScene, `afterScene` before Refresh. Answers BeginScene's answer.
  template <typename InScene, typename AfterScene>
  bool DrawFrame(std::uint32_t background, InScene inScene, AfterScene afterScene) {
    EXPECT_TRUE(frame.WaitMsg());
    host.ClearStack();
    EXPECT_EQ(Call("BeginScene"), -1);
    const bool began = host.PopBool();
    host.ClearStack();
    host.PushInt(static_cast<std::int32_t>(0xFF000000 | background));
    EXPECT_EQ(Call("Clear"), 4);
    inScene();
    host.ClearStack();
    EXPECT_EQ(Call("EndScene"), 0);
    afterScene();
    EXPECT_EQ(Call("Refresh"), 0);
    return began;
  }

  // The frame drawn three times (the first frame presented to a new window can be lost under
  // Wine), then what the screen shows of the client area.
  template <typename InScene, typename AfterScene = void (*)()>
  vela::host::CapturedImage Show(std::uint32_t background, InScene inScene, AfterScene afterScene = [] {}) {
    for (int repeat = 0; repeat < 3; ++repeat) {
      DrawFrame(background, inScene, afterScene);
      vela::host::PumpMessagesFor(50);
    }
    return vela::host::CaptureClientArea(frame.Window());
  }

  vela::host::MessageBoxCapture boxes;
  AppFrame frame;
  vela::host::PluginModule plugin;
  vela::host::ScriptHost host;

 private:
  std::int32_t width_;
  std::int32_t height_;
};

}  // namespace vela::test
