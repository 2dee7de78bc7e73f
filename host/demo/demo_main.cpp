// vela_demo: a small game that drives velaplugin.dll through its exports as the script host
// does. A ship (arrow keys; an autopilot until the first arrow) flies through a falling rock
// field past spinning mines, over a JPEG backdrop, with a trail behind it and a radar in the
// corner, the frame rate written on top. It ends on Escape, the close box or when its time is
// up, prints the frames drawn, the frame rate and how the export calls went, and can save what
// the window shows as a PNG file (see demo_options.h for the command line).
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/demo/demo_options.h"
#include "host/demo/demo_plugin.h"
#include "host/demo/demo_scene.h"
#include "host/demo/demo_textures.h"
#include "host/demo/demo_world.h"
#include "host/png_file.h"
#include "host/window_capture.h"

namespace {

using vela::demo::DemoOptions;
using vela::demo::DemoPlugin;

constexpr char16_t kTitle[] = u"Vela demo";
constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;
constexpr double kLongestStep = 0.1;  // seconds
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

vela::demo::Controls ReadArrowKeys(DemoPlugin& plugin) {
  using vela::demo::Key;
  vela::demo::Controls controls;
  controls.left = plugin.KeyDown(Key::kLeft);
  controls.right = plugin.KeyDown(Key::kRight);
  controls.up = plugin.KeyDown(Key::kUp);
  controls.down = plugin.KeyDown(Key::kDown);
  return controls;
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

struct PlayResult {
  int frames = 0;
  double seconds = 0;
  bool endedByUser = false;
  bool screenshotSaved = false;
};

// The game's frame loop, from the first WaitMsg until the user ends it or the time is up; the
// window is closed on the way out when the time ran out.
PlayResult Play(DemoPlugin& plugin, const DemoOptions& options, const vela::demo::DemoTextures& textures) {
  const HWND window = FindDemoWindow();
  const bool wantScreenshot = !options.screenshotPath.empty();
  vela::demo::DemoWorld world(kWidth, kHeight, [&plugin](std::int32_t lower, std::int32_t upper) {
    return plugin.MathRand(lower, upper);
  });
  vela::demo::DemoScene scene(plugin, textures, kWidth, kHeight);
  vela::demo::FrameRateMeter meter;
  PlayResult result;
  double paused = 0;  // the first frame and screenshots, kept out of the game and the frame rate
  double previous = 0;

  const Stopwatch clock;
  for (;;) {
    if (!plugin.WaitMsg()) {
      result.endedByUser = true;  // Escape, Alt+F4, the close box or a failed start
      break;
    }
    const double now = clock.Seconds() - paused;
    if (options.seconds > 0 && now >= options.seconds) break;
    // Steps are capped so that a stall (or the slow emulated 32-bit run) does not teleport.
    world.Advance(now, static_cast<float>(std::min(now - previous, kLongestStep)), ReadArrowKeys(plugin));
    previous = now;
    scene.Draw(world, meter.PerSecond());
    meter.Tick(now);
    // The first frame warms Wine up (shaders, fonts), which takes seconds under emulation: the
    // game's time starts after it.
    if (++result.frames == 1) paused = clock.Seconds();
    if (wantScreenshot && result.frames == options.screenshotFrame) {
      const double before = clock.Seconds();
      result.screenshotSaved = SaveScreenshot(window, options.screenshotPath);
      paused += clock.Seconds() - before;
    }
  }
  result.seconds = clock.Seconds() - paused;
  if (!result.endedByUser) {
    if (wantScreenshot && options.screenshotFrame == 0) result.screenshotSaved = SaveScreenshot(window, options.screenshotPath);
    CloseWindow(plugin);
  }
  return result;
}

int Run(DemoOptions options) {
  if (!options.screenshotPath.empty()) options.screenshotPath = FullPath(options.screenshotPath);
  DemoPlugin plugin;
  if (!plugin.Loaded()) {
    std::fprintf(stderr, "vela_demo: velaplugin.dll did not load; it belongs beside vela_demo.exe\n");
    return 1;
  }
  if (!plugin.Init(kTitle, DemoPlugin::kServiceKeyboard, kWidth, kHeight)) {
    std::fprintf(stderr, "vela_demo: Init could not create the window\n");
    plugin.End();
    return 1;
  }
  const vela::demo::DemoTextures textures = vela::demo::LoadDemoTextures(plugin);
  const PlayResult played = Play(plugin, options, textures);
  vela::demo::ReleaseDemoTextures(plugin, textures);
  plugin.End();

  const double elapsed = played.seconds;
  std::printf("frames: %d in %.2f s, %.1f frames per second%s\n", played.frames, elapsed,
              elapsed > 0 ? played.frames / elapsed : 0.0, played.endedByUser ? " (ended by the user)" : "");
  std::printf("export calls: %d, with a wrong byte count or missing: %d\n", plugin.Calls(), plugin.WrongCalls());
  const bool wantScreenshot = !options.screenshotPath.empty();
  if (wantScreenshot && !played.screenshotSaved) {
    std::fprintf(stderr, "vela_demo: no screenshot taken%s\n",
                 played.endedByUser ? ": the window closed before it was due" : "");
  }
  if (played.frames == 0) std::fprintf(stderr, "vela_demo: no frame was drawn\n");
  if (!textures.AllLoaded()) std::fprintf(stderr, "vela_demo: a texture did not load; demo.pak and velaplugin.ini belong beside vela_demo.exe\n");
  const bool failed = plugin.WrongCalls() > 0 || played.frames == 0 || !textures.AllLoaded() ||
                      (wantScreenshot && !played.screenshotSaved);
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Each line goes out as it is printed, also into a pipe or a file, which would otherwise
  // hold it until the end.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
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
