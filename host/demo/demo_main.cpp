// vela_demo: a host program that drives velaplugin.dll through its exports as the script host
// does. It opens a 640 x 480 window, draws sliding bars in cycling colours with Clear and
// ColorFill once per WaitMsg frame, and ends on Escape, the close box or when its time is up.
// It prints the frames drawn and the measured frame rate, and can save what the window shows
// as a PNG file (see demo_options.h for the command line).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/demo/demo_options.h"
#include "host/demo/demo_plugin.h"
#include "host/demo/demo_scene.h"
#include "host/png_file.h"
#include "host/window_capture.h"

namespace {

using vela::demo::DemoOptions;
using vela::demo::DemoPlugin;

constexpr char16_t kTitle[] = u"Vela demo";
constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;
// Long enough for a presented frame to reach the screen under Wine.
constexpr DWORD kSettleMilliseconds = 60;

class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double Seconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart - start_.QuadPart) / double(frequency_.QuadPart);
  }

 private:
  LARGE_INTEGER frequency_;
  LARGE_INTEGER start_;
};

HWND FindDemoWindow() {
  const auto* name = reinterpret_cast<const wchar_t*>(kTitle);
  return FindWindowW(name, name);
}

void DrawFrame(DemoPlugin& plugin, double seconds) {
  const vela::demo::Scene scene =
      vela::demo::SceneAt(seconds, kWidth, kHeight, [&plugin](std::int32_t angle) { return plugin.MathSin(angle); });
  if (plugin.BeginScene()) {
    plugin.Clear(scene.background);
    for (const vela::demo::Bar& bar : scene.bars) plugin.ColorFill(bar.x, bar.y, bar.width, bar.height, bar.colour);
  }
  plugin.EndScene();  // also after a failed begin: the scene depth counts it
  plugin.Refresh();
}

bool SaveScreenshot(HWND window, const std::string& path) {
  vela::host::PumpMessagesFor(kSettleMilliseconds);
  const vela::host::CapturedImage image = vela::host::CaptureClientArea(window);
  if (!vela::host::WritePngFile(image, path)) {
    std::fprintf(stderr, "vela_demo: could not save the screenshot %s\n", path.c_str());
    return false;
  }
  std::printf("screenshot: %s (%d x %d)\n", path.c_str(), image.width, image.height);
  return true;
}

// Asks the window to close, as its close box does, and lets the loop run out.
void CloseWindow(DemoPlugin& plugin) {
  if (HWND window = FindDemoWindow()) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int frame = 0; frame < 100 && plugin.WaitMsg(); ++frame) {
    }
  }
}

// Init makes the executable's folder current: a relative screenshot name is taken relative to
// where the demo was started, as the user means it.
std::string FullPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

int Run(DemoOptions options) {
  if (!options.screenshotPath.empty()) options.screenshotPath = FullPath(options.screenshotPath);
  DemoPlugin plugin;
  if (!plugin.Loaded()) {
    std::fprintf(stderr, "vela_demo: velaplugin.dll did not load; it belongs beside vela_demo.exe\n");
    return 1;
  }
  if (!plugin.Init(kTitle, 0, kWidth, kHeight)) {
    std::fprintf(stderr, "vela_demo: Init could not create the window\n");
    plugin.End();
    return 1;
  }
  const HWND window = FindDemoWindow();
  const bool wantScreenshot = !options.screenshotPath.empty();
  bool screenshotSaved = false;
  bool endedByUser = false;
  int frames = 0;
  double paused = 0;  // time spent on screenshots, kept out of the animation and the frame rate

  const Stopwatch clock;
  for (;;) {
    if (!plugin.WaitMsg()) {
      endedByUser = true;  // Escape, Alt+F4, the close box or a failed start
      break;
    }
    const double now = clock.Seconds() - paused;
    if (options.seconds > 0 && now >= options.seconds) break;
    DrawFrame(plugin, now);
    ++frames;
    if (wantScreenshot && frames == options.screenshotFrame) {
      const double before = clock.Seconds();
      screenshotSaved = SaveScreenshot(window, options.screenshotPath);
      paused += clock.Seconds() - before;
    }
  }
  const double elapsed = clock.Seconds() - paused;

  if (!endedByUser) {
    if (wantScreenshot && options.screenshotFrame == 0) screenshotSaved = SaveScreenshot(window, options.screenshotPath);
    CloseWindow(plugin);
  }
  plugin.End();

  std::printf("frames: %d in %.2f s, %.1f frames per second%s\n", frames, elapsed, elapsed > 0 ? frames / elapsed : 0.0,
              endedByUser ? " (ended by the user)" : "");
  if (wantScreenshot && !screenshotSaved) {
    std::fprintf(stderr, "vela_demo: no screenshot taken%s\n",
                 endedByUser ? ": the window closed before it was due" : "");
  }
  if (frames == 0) std::fprintf(stderr, "vela_demo: no frame was drawn\n");
  return plugin.Faulted() || frames == 0 || (wantScreenshot && !screenshotSaved) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  DemoOptions options;
  std::string error;
  if (!vela::demo::ParseDemoOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "vela_demo: %s\n%s", error.c_str(), vela::demo::kDemoUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(vela::demo::kDemoUsage, stdout);
    return 0;
  }
  const int status = Run(options);
  std::fflush(stdout);
  return status;
}
