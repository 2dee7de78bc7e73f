// vela_bunnymark: how many moving textured sprites velaplugin.dll draws while holding 60 frames
// per second. It drives the DLL through its exports as the script host does: one sorted sprite
// filled every frame with SpriteDrawSquare (32 x 32 squares bouncing under gravity, each at its
// own depth), uploaded and drawn in one call. It doubles the count while the frame rate holds,
// then narrows down between the last count that held and the first that did not, and prints
// the frame rate of every count it tried and the largest that held.
//
//   vela_bunnymark [--seconds S per count] [--start N] [--limit N]
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/plugin_module.h"
#include "host/script_host.h"
#include "imagecodec/imagecodec.h"

namespace {

constexpr char16_t kTitle[] = u"Vela bunnymark";
constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;
constexpr float kSize = 32.0f;
constexpr double kHeldFramesPerSecond = 59.0;

struct Options {
  double seconds = 2.0;
  int start = 500;
  int limit = 200000;
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0) options.seconds = std::atof(argv[i + 1]);
    if (std::strcmp(argv[i], "--start") == 0) options.start = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--limit") == 0) options.limit = std::atoi(argv[i + 1]);
  }
  return options;
}

class Plugin {
 public:
  bool Loaded() const { return module_.Loaded(); }
  vela::host::ScriptHost& Host() { return host_; }

  // Calls the export over what was pushed; false when it is missing or pops another count.
  bool Call(const char* name, std::int32_t expectedPop) {
    const auto function = module_.Find(name);
    if (function && host_.Call(function) == expectedPop) return true;
    if (!faulted_) std::fprintf(stderr, "vela_bunnymark: %s is missing or answered wrongly\n", name);
    faulted_ = true;
    return false;
  }
  bool CallBool(const char* name) {
    host_.ClearStack();
    return Call(name, -1) && host_.PopBool();
  }
  void CallOn(const char* name, std::uint32_t handle) {
    host_.ClearStack();
    host_.PushWord(handle);
    Call(name, 4);
  }

 private:
  vela::host::PluginModule module_;
  vela::host::ScriptHost host_;
  bool faulted_ = false;
};

struct Bunny {
  float x, y, dx, dy, z;
};

// A 32 x 32 picture: a light disc with a dark rim on transparent black.
std::vector<std::uint8_t> BunnyPng() {
  std::vector<std::uint32_t> argb(32 * 32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const int dx = x - 16, dy = y - 16, r2 = dx * dx + dy * dy;
      argb[y * 32 + x] = r2 < 144 ? 0xFFF0E0D0 : r2 < 225 ? 0xFF604020 : 0x00000000;
    }
  }
  const vela::codec::ConstSurfaceView view(vela::codec::PixelFormat::kA8R8G8B8, 32, 32, 32 * 4,
                                           reinterpret_cast<const std::uint8_t*>(argb.data()));
  std::vector<std::uint8_t> png;
  vela::codec::SaveToMemory(vela::codec::FileFormat::kPng, view, png);
  return png;
}

std::string BesideExecutable(const char* name) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

void Move(std::vector<Bunny>& bunnies) {
  for (Bunny& b : bunnies) {
    b.x += b.dx;
    b.y += b.dy;
    b.dy += 0.5f;
    if (b.x < 0 || b.x > kWidth - kSize) b.dx = -b.dx;
    if (b.y > kHeight - kSize) {
      b.y = kHeight - kSize;
      b.dy = -b.dy * 0.85f;
    }
    if (b.y < 0) b.y = 0;
  }
}

// Frames per second over `seconds` with `count` bunnies; negative when the window closed.
double MeasureCount(Plugin& plugin, std::uint32_t sprite, int count, double seconds) {
  std::vector<Bunny> bunnies(static_cast<std::size_t>(count));
  std::srand(1);
  for (Bunny& b : bunnies) {
    b = {float(std::rand() % (kWidth - 32)), float(std::rand() % 200), float(std::rand() % 9 - 4) * 0.5f,
         float(std::rand() % 5), float(100 + std::rand() % 65000)};
  }
  vela::host::ScriptHost& host = plugin.Host();
  int frames = 0;
  double start = 0;
  for (;;) {
    if (!plugin.CallBool("WaitMsg")) return -1;
    const double now = Now();
    if (frames == 10) start = now;  // the first frames settle the pacing
    if (frames > 10 && now - start >= seconds) return (frames - 10) / (now - start);
    Move(bunnies);
    if (plugin.CallBool("BeginScene")) {
      host.ClearStack();
      host.PushInt(static_cast<std::int32_t>(0xFF305070));
      plugin.Call("Clear", 4);
      plugin.CallOn("SpriteResetBuffer", sprite);
      for (const Bunny& b : bunnies) {
        host.ClearStack();
        host.PushWord(sprite).PushRect(b.x, b.y, kSize, kSize).PushFloat(b.z).PushRect(0, 0, 32, 32);
        plugin.Call("SpriteDrawSquare", 40);
      }
      plugin.CallOn("SpriteUpdateBuffer", sprite);
      plugin.CallOn("SpriteRendering", sprite);
    }
    host.ClearStack();
    plugin.Call("EndScene", 0);
    plugin.Call("Refresh", 0);
    ++frames;
  }
}

int Run(const Options& options) {
  Plugin plugin;
  if (!plugin.Loaded()) {
    std::fprintf(stderr, "vela_bunnymark: velaplugin.dll did not load; it belongs beside the executable\n");
    return 1;
  }
  vela::host::ScriptHost& host = plugin.Host();
  host.ClearStack();
  host.PushString(host.MakeString(kTitle)).PushInt(0).PushInt(kWidth).PushInt(kHeight);
  if (!plugin.Call("Init", 23) || !host.PopBool()) {
    std::fprintf(stderr, "vela_bunnymark: Init could not create the window\n");
    return 1;
  }
  const std::string picture = BesideExecutable("vela_bunnymark_bunny.png");
  const std::vector<std::uint8_t> png = BunnyPng();
  const HANDLE file = CreateFileA(picture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
  CloseHandle(file);

  host.ClearStack();
  host.PushWord(host.RelativeRef(0)).PushString(host.MakeString(u"vela_bunnymark_bunny.png"));
  plugin.Call("TextureLoad", 16);
  const auto texture = static_cast<std::uint32_t>(host.Variable(0));
  DeleteFileA(picture.c_str());
  host.ClearStack();
  host.PushInt(1);
  plugin.Call("SetBlendingType", 4);  // alpha blending: the bunnies' corners are transparent

  int held = 0;
  int failed = 0;
  int count = options.start;
  int tries = 0;
  while (count <= options.limit && tries++ < 16) {
    host.ClearStack();
    host.PushWord(host.RelativeRef(1)).PushInt(count * 6);
    plugin.Call("SpriteCreate", 8);
    const auto sprite = static_cast<std::uint32_t>(host.Variable(1));
    host.ClearStack();
    host.PushWord(sprite).PushWord(texture);
    plugin.Call("SpriteAttatchTexture", 8);
    const double fps = sprite ? MeasureCount(plugin, sprite, count, options.seconds) : 0.0;
    plugin.CallOn("SpriteRelease", sprite);
    if (fps < 0) break;
    std::printf("%7d sprites: %6.1f fps\n", count, fps);
    std::fflush(stdout);
    if (fps >= kHeldFramesPerSecond) {
      held = count;
    } else {
      failed = count;
    }
    // Doubling until a count fails, then halving the gap down to 5 %.
    if (failed == 0) {
      count *= 2;
    } else if (failed - held > held / 20 + 1) {
      count = held + (failed - held) / 2;
    } else {
      break;
    }
  }
  plugin.CallOn("TextureRelease", texture);
  std::printf("held %.0f fps with %d sprites of 32 x 32 (first count below: %d)\n", kHeldFramesPerSecond, held,
              failed);
  if (HWND window = FindWindowW(reinterpret_cast<const wchar_t*>(kTitle), reinterpret_cast<const wchar_t*>(kTitle))) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    for (int frame = 0; frame < 100 && plugin.CallBool("WaitMsg"); ++frame) {
    }
  }
  host.ClearStack();
  plugin.Call("End", 0);
  return held > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) { return Run(ReadOptions(argc, argv)); }
