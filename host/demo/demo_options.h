// The demo's command line:
//   vela_demo [--seconds N] [--screenshot FILE] [--screenshot-frame N]
// --seconds: how long the demo runs (default 5; 0 runs until Escape or the close box).
// --screenshot: where the PNG of the window's client area goes; it is taken after the frame
// given by --screenshot-frame (counted from 1), else after the last frame when the time is up.
#pragma once

#include <string>
#include <vector>

namespace vela::demo {

struct DemoOptions {
  double seconds = 5.0;
  std::string screenshotPath;  // empty: no screenshot
  int screenshotFrame = 0;     // 0: when the time is up
  bool help = false;
};

// Reads the arguments after the program name. On a bad argument answers false with `error` set.
bool ParseDemoOptions(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error);

extern const char kDemoUsage[];

}  // namespace vela::demo
