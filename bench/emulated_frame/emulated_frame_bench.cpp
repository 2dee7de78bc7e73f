// vela_emulated_frame_bench: what one drawing feature costs a frame, through the DLL's exports
// as the script host calls them, in a 640 x 480 window. Each case draws its feature over a
// cleared back buffer for a few seconds. A frame's time is the period from one WaitMsg return
// to the next: Wine's Direct3D draws behind the calls, and Refresh waits for it, so only the
// whole period shows what the drawing costs. The first three frames (shader compilation) are
// printed apart and left out of the median.
//
//   vela_emulated_frame_bench [--seconds S] [--repeat K] CASE...
//
// Cases (each drawn K times a frame, 1 by default):
//   none            no clear: only the frame loop and the present
//   clear           Clear only
//   full            one TextureDraw over the whole window (alpha blending)
//   full-opaque     the same with blending type 0
//   quarter         one TextureDraw over 320 x 240
//   small           one 32 x 32 TextureDraw
//   small64         64 of them, side by side
//   small-off64     64 of them beside the window: the calls without the pixels
//   sprite:N        one sorted sprite of N 32 x 32 squares, refilled, uploaded and drawn
//   sprite-tiny:N   the same with 1 x 1 squares
//   sprite-off:N    the same beside the window: fill, upload and draw call, no pixel
//   sprite-cpu:N    filled only: SpriteDrawSquare N times, no upload, no draw
//   sprite-big-off:N  like sprite-off:N in a sprite made for 10,000 squares
//   font            FontBegin, two FontDraw and FontEnd
//
// The pictures are the demo's (demo_backdrop.jpg, demo_sprites.png), found in demo.pak through
// the demo's settings file beside the executable.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/demo/demo_plugin.h"

namespace {

using vela::demo::Blending;
using vela::demo::DemoPlugin;
using vela::demo::Rect;

constexpr int kWarmUpFrames = 3;
constexpr Rect kBackdropSource = {0, 0, 256, 256};
constexpr Rect kMineSource = {64, 32, 32, 32};
constexpr int kBigSpriteVertices = 60000;

struct Textures {
  std::uint32_t backdrop = 0;
  std::uint32_t sprites = 0;
};

struct Case {
  std::string name;
  int squares = 0;  // the N of the sprite cases

  bool Is(const char* word) const { return name.find(word) != std::string::npos; }
  bool IsSprite() const { return name.rfind("sprite", 0) == 0; }
};

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

void DrawSprite(DemoPlugin& plugin, const Case& c, std::uint32_t sprite, int frame) {
  const float size = c.Is("tiny") ? 1.0f : 32.0f;
  const float shift = c.Is("off") ? 1000.0f : 0.0f;
  plugin.SpriteResetBuffer(sprite);
  for (int i = 0; i < c.squares; ++i) {
    const float x = float((i * 37 + frame) % 608) + shift, y = float((i * 53) % 448);
    plugin.SpriteDrawSquare(sprite, {x, y, size, size}, float(100 + (i * 997) % 60000), kMineSource);
  }
  if (c.Is("cpu")) return;
  plugin.SpriteUpdateBuffer(sprite);
  plugin.SpriteRendering(sprite);
}

void DrawSmallSquares(DemoPlugin& plugin, const Textures& textures, bool beside) {
  for (int i = 0; i < 64; ++i) {
    const Rect destination = beside ? Rect{1000, 100, 32, 32} : Rect{float(i % 16) * 40, float(i / 16) * 40, 32, 32};
    plugin.TextureDraw(textures.sprites, destination, kMineSource);
  }
}

void DrawScene(DemoPlugin& plugin, const Case& c, const Textures& textures, std::uint32_t sprite, int frame) {
  if (sprite) {
    DrawSprite(plugin, c, sprite, frame);
    return;
  }
  if (c.name == "full") plugin.TextureDraw(textures.backdrop, {0, 0, 640, 480}, kBackdropSource);
  if (c.name == "quarter") plugin.TextureDraw(textures.backdrop, {0, 0, 320, 240}, kBackdropSource);
  if (c.name == "full-opaque") {
    plugin.SetBlendingType(Blending::kOpaque);
    plugin.TextureDraw(textures.backdrop, {0, 0, 640, 480}, kBackdropSource);
    plugin.SetBlendingType(Blending::kAlpha);
  }
  if (c.name == "small") plugin.TextureDraw(textures.sprites, {100, 100, 32, 32}, kMineSource);
  if (c.name == "small64" || c.name == "small-off64") DrawSmallSquares(plugin, textures, c.name == "small-off64");
}

void DrawText(DemoPlugin& plugin) {
  plugin.FontBegin(u"Courier New", 16);
  plugin.FontDraw(8, 8, 0x0060FFFF, 0x00301010, u" 12.3 fps   rocks bumped: 4 ");
  plugin.FontDraw(8, 440, 0x00FFFFFF, 0x00301010, u" Arrow keys fly the ship.  Esc quits. ");
  plugin.FontEnd();
}

void PrintCase(const Case& c, int repeat, std::vector<double> periods, const double (&warmUp)[kWarmUpFrames],
               double inRefresh) {
  if (periods.empty()) return;
  double sum = 0;
  for (double period : periods) sum += period;
  std::sort(periods.begin(), periods.end());
  const double frames = double(periods.size());
  std::printf("%-18s x%-3d frames %4zu  median %8.2f ms  mean %8.2f ms (%6.1f fps)  in Refresh %8.2f ms  "
              "first frames %.0f %.0f %.0f ms\n",
              c.name.c_str(), repeat, periods.size(), periods[periods.size() / 2] * 1000, sum / frames * 1000,
              frames / sum, inRefresh / frames * 1000, warmUp[0] * 1000, warmUp[1] * 1000, warmUp[2] * 1000);
  std::fflush(stdout);
}

void RunCase(DemoPlugin& plugin, const Case& c, const Textures& textures, double seconds, int repeat) {
  std::uint32_t sprite = 0;
  if (c.IsSprite()) {
    sprite = plugin.SpriteCreate(c.Is("big") ? kBigSpriteVertices : std::max(1, c.squares) * 6);
    plugin.SpriteAttatchTexture(sprite, textures.sprites);
  }
  std::vector<double> periods;
  double warmUp[kWarmUpFrames] = {};
  double inRefresh = 0;
  const double start = Now();
  double previous = start;
  for (int frame = 0;; ++frame) {
    if (!plugin.WaitMsg()) break;
    const double now = Now();
    if (frame >= 1 && frame <= kWarmUpFrames) warmUp[frame - 1] = now - previous;
    if (frame > kWarmUpFrames) periods.push_back(now - previous);
    if (frame > kWarmUpFrames && now - start >= seconds) break;
    previous = now;
    if (plugin.BeginScene()) {
      if (c.name != "none") plugin.Clear(0xFF305070);
      for (int r = 0; r < repeat && c.name != "font"; ++r) DrawScene(plugin, c, textures, sprite, frame);
    }
    plugin.EndScene();
    for (int r = 0; r < repeat && c.name == "font"; ++r) DrawText(plugin);
    const double beforeRefresh = Now();
    plugin.Refresh();
    if (frame >= kWarmUpFrames) inRefresh += Now() - beforeRefresh;
  }
  if (sprite) plugin.Release(sprite);
  PrintCase(c, repeat, std::move(periods), warmUp, inRefresh);
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 3;
  int repeat = 1;
  std::vector<Case> cases;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else {
      const char* colon = std::strchr(argv[i], ':');
      cases.push_back({argv[i], colon ? std::atoi(colon + 1) : 0});
    }
  }
  if (cases.empty()) {
    std::fprintf(stderr, "usage: vela_emulated_frame_bench [--seconds S] [--repeat K] CASE...\n");
    return 2;
  }
  DemoPlugin plugin;
  if (!plugin.Loaded() || !plugin.Init(u"Vela frame bench", 0, 640, 480)) {
    std::fprintf(stderr, "vela_emulated_frame_bench: velaplugin.dll did not load, or Init failed\n");
    return 1;
  }
  Textures textures;
  textures.backdrop = plugin.TextureLoad(u"demo_backdrop.jpg");
  textures.sprites = plugin.TextureLoad(u"demo_sprites.png");
  if (!textures.backdrop || !textures.sprites) {
    std::fprintf(stderr, "vela_emulated_frame_bench: demo.pak and velaplugin.ini belong beside the executable\n");
  }
  plugin.SetBlendingType(Blending::kAlpha);
  for (const Case& c : cases) RunCase(plugin, c, textures, seconds, repeat);
  plugin.Release(textures.backdrop);
  plugin.Release(textures.sprites);
  plugin.End();
  if (plugin.WrongCalls() > 0) std::fprintf(stderr, "export calls answered wrongly: %d\n", plugin.WrongCalls());
  return plugin.WrongCalls() > 0 ? 1 : 0;
}
