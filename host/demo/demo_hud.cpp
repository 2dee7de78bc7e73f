#include "host/demo/demo_hud.h"

#include <cstdio>
#include <string>

namespace vela::demo {

namespace {

constexpr double kMeterWindowSeconds = 0.5;
constexpr std::int32_t kLineHeight = 18;
// GDI colours, 0x00BBGGRR.
constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kYellow = 0x0060FFFF;
constexpr std::uint32_t kPanel = 0x00301010;

std::u16string Widen(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

void FrameRateMeter::Tick(double seconds) {
  ++framesInWindow_;
  const double span = seconds - windowStart_;
  if (span < kMeterWindowSeconds) return;
  perSecond_ = framesInWindow_ / span;
  windowStart_ = seconds;
  framesInWindow_ = 0;
}

void DrawHud(DemoPlugin& plugin, const DemoWorld& world, double framesPerSecond, float height) {
  char status[64];
  std::snprintf(status, sizeof status, " %5.1f fps   rocks bumped: %d ", framesPerSecond, world.Bumps());
  const char* keys = world.OnAutopilot() ? " Autopilot: an arrow key takes over.  Esc quits. "
                                         : " Arrow keys fly the ship.  Esc quits. ";
  const auto bottom = static_cast<std::int32_t>(height);
  plugin.FontBegin(u"Courier New", 16);
  plugin.FontDraw(8, 8, kYellow, kPanel, Widen(status));
  plugin.FontDraw(8, bottom - 2 * kLineHeight - 6, kWhite, kPanel, Widen(keys));
  plugin.FontDraw(8, bottom - kLineHeight - 6, kWhite, kPanel,
                  u" Pictures: demo.pak, packed by vela-archive --lzss. ");
  plugin.FontEnd();
}

}  // namespace vela::demo
