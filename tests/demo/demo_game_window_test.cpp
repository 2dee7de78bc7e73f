// vela_demo started as its own process: it saves a screenshot of a game scene, Escape ends it,
// and its output says its textures loaded from demo.pak and every export answered its byte count.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "imagecodec/image_file.h"
#include "tests/support/window_test_support.h"

namespace {

constexpr wchar_t kDemoTitle[] = L"Vela demo";
constexpr DWORD kRunLimitMilliseconds = 120000;

std::wstring BesideThisExecutable(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const std::wstring executable(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return executable.substr(0, executable.find_last_of(L'\\') + 1) + name;
}

// vela_demo.exe running with its standard output going into a file.
class DemoProcess {
 public:
  explicit DemoProcess(const std::wstring& arguments) : outputPath_(BesideThisExecutable(L"vela_demo_test_output.txt")) {
    DeleteFileW(outputPath_.c_str());
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const HANDLE output = CreateFileW(outputPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {.cb = sizeof(STARTUPINFOW), .dwFlags = STARTF_USESTDHANDLES, .hStdOutput = output,
                            .hStdError = output};
    std::wstring commandLine = L"\"" + BesideThisExecutable(L"demo\\vela_demo.exe") + L"\" " + arguments;
    started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                              &process_) != 0;
    CloseHandle(output);
  }
  ~DemoProcess() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  bool Started() const { return started_; }
  // Waits for the end; the exit status, or -1 when it did not end in time.
  int Wait(DWORD milliseconds) {
    if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD status = 0;
    GetExitCodeProcess(process_.hProcess, &status);
    return static_cast<int>(status);
  }
  std::string Output() const { return vela::test::ReadWholeFile(outputPath_); }  // so far

 private:
  std::wstring outputPath_;
  PROCESS_INFORMATION process_ = {};
  bool started_ = false;
};

// Polls `found` until it answers true or the run limit has passed; answers its last answer.
template <typename Found>
bool WaitFor(Found found) {
  for (DWORD waited = 0; waited < kRunLimitMilliseconds && !found(); waited += 50) Sleep(50);
  return found();
}

// Frame 30 is shot (on a loaded machine the first frames come slowly), then Escape ends the
// demo, which would otherwise run until its window closes.
TEST(DemoGame, ShowsAGameSceneAndEndsOnEscape) {
  const std::wstring screenshot = BesideThisExecutable(L"vela_demo_test_screenshot.png");
  DeleteFileW(screenshot.c_str());
  DemoProcess demo(L"--seconds 0 --screenshot-frame 30 --screenshot \"" + screenshot + L"\"");
  ASSERT_TRUE(demo.Started()) << "vela_demo.exe belongs in the folder demo beside this test";
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = FindWindowW(kDemoTitle, kDemoTitle)) != nullptr; })) << demo.Output();
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitFor([&] { return demo.Output().find("screenshot:") != std::string::npos; })) << demo.Output();
  SetForegroundWindow(window);
  INPUT escape[2] = {vela::test::KeyEvent(VK_ESCAPE, 0x01, true), vela::test::KeyEvent(VK_ESCAPE, 0x01, false)};
  ASSERT_EQ(SendInput(2, escape, sizeof(INPUT)), 2u);
  const int status = demo.Wait(30000);
  const std::string output = demo.Output();
  EXPECT_EQ(status, 0) << output;
  for (const char* line : {"texture demo_backdrop.jpg (JPEG in demo.pak): loaded",
                           "texture demo_sprites.png (PNG in demo.pak): loaded",
                           "texture demo_rocks.tga (TGA in demo.pak as an LZSS block): loaded",
                           "(ended by the user)", "with a wrong byte count or missing: 0"}) {
    EXPECT_NE(output.find(line), std::string::npos) << line << " in:\n" << output;
  }

  const std::string png = vela::test::ReadWholeFile(screenshot);
  vela::codec::ArgbImage image;
  ASSERT_EQ(vela::codec::DecodeImage({png.data(), png.size()}, image), vela::codec::Result::kOk)
      << "no readable screenshot";
  ASSERT_EQ(image.width(), 640u);
  ASSERT_EQ(image.height(), 480u);
  const std::set<std::uint32_t> colours(image.pixels(), image.pixels() + image.pixelCount());
  EXPECT_GT(colours.size(), 2000u) << "a textured scene, not a few flat colours";
}

}  // namespace
