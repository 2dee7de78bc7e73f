#include "host/demo/demo_options.h"

#include <charconv>
#include <cmath>

namespace vela::demo {

const char kDemoUsage[] =
    "usage: vela_demo [--seconds N] [--screenshot FILE] [--screenshot-frame N]\n"
    "  --seconds N           run for N seconds (default 5; 0: until Escape or the close box)\n"
    "  --screenshot FILE     save the window's client area as a PNG file\n"
    "  --screenshot-frame N  take it after frame N (default: after the last frame)\n";

namespace {

bool ReadNumber(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [last, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && last == end && std::isfinite(value);
}

bool ReadCount(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto [last, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && last == end;
}

}  // namespace

bool ParseDemoOptions(const std::vector<std::string>& arguments, DemoOptions& options, std::string& error) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& name = arguments[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name != "--seconds" && name != "--screenshot" && name != "--screenshot-frame") {
      error = "unknown argument " + name;
      return false;
    }
    if (i + 1 == arguments.size()) {
      error = name + " needs a value";
      return false;
    }
    const std::string& value = arguments[++i];
    if (name == "--seconds") {
      if (!ReadNumber(value, options.seconds) || options.seconds < 0) {
        error = "--seconds wants a number of seconds, 0 or more, not " + value;
        return false;
      }
    } else if (name == "--screenshot") {
      if (value.empty()) {
        error = "--screenshot wants a file name";
        return false;
      }
      options.screenshotPath = value;
    } else if (!ReadCount(value, options.screenshotFrame) || options.screenshotFrame < 1) {
      error = "--screenshot-frame wants a frame number, 1 or more, not " + value;
      return false;
    }
  }
  return true;
}

}  // namespace vela::demo
