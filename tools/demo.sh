#!/usr/bin/env bash
# Builds the product and runs the demo: a small game (arrow keys steer the ship, Escape ends it)
# that drives velaplugin.dll through its exports, in a 640 x 480 window, and saves a screenshot
# of it. Ends with the product's export table.
#
#   tools/demo.sh                 the x86_64 build's demo and DLL under 64-bit Wine (smooth)
#   tools/demo.sh --win32         the real 32-bit product under emulated 32-bit Wine (slow:
#                                 about 3 frames per second on the 2-core build machines)
#   tools/demo.sh --seconds N     run for N seconds (default 5; 0: until Escape or the close box)
#   tools/demo.sh --headless      use a virtual display even when $DISPLAY is set
#
# With $DISPLAY set the window shows on that display; otherwise it runs on a virtual Xvfb
# display and the screenshot shows what it drew. The screenshot goes to build/demo/screenshot.png.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

arch=win64
seconds=5
headless=0
while [ $# -gt 0 ]; do
  case "$1" in
    --win32) arch=win32 ;;
    --seconds) seconds=${2:?--seconds needs a value}; shift ;;
    --headless) headless=1 ;;
    -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "demo: unknown argument $1 (try --help)" >&2; exit 2 ;;
  esac
  shift
done

if [ "$arch" = win32 ]; then
  bash tools/bootstrap.sh
else
  bash tools/bootstrap.sh --no-wine32
fi

echo "== build the product (win32) and the demo ($arch)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velaplugin $([ "$arch" = win32 ] && echo vela_demo)
if [ "$arch" = win64 ]; then
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target velaplugin vela_demo
fi

out=build/demo
mkdir -p "$out"
rm -f "$out/screenshot.png"
# The demo runs in Wine, which sees this machine's root as drive Z:.
screenshot_unix=$(realpath -m "$out/screenshot.png")
screenshot_windows="Z:${screenshot_unix//\//\\}"
run=(tools/wine/run "$arch" "build/$arch/wineprefix" "build/$arch/bin/demo/vela_demo.exe"
     --seconds "$seconds" --screenshot "$screenshot_windows")
# A demo without an end is shot two seconds in; a timed one after its last frame.
[ "$seconds" = 0 ] && run+=(--screenshot-frame 120)

echo "== run the demo under $([ "$arch" = win32 ] && echo "emulated 32-bit" || echo "64-bit") Wine for ${seconds} s"
if [ "$arch" = win32 ]; then
  echo "   (the first run creates a 32-bit Wine prefix: about half a minute)"
fi
status=0
if [ -n "${DISPLAY:-}" ] && [ "$headless" = 0 ]; then
  "${run[@]}" || status=$?
else
  # Wine's helper processes outlive the demo by a moment and complain when Xvfb goes away.
  xvfb-run -a -s "-screen 0 1024x768x24" "${run[@]}" 2> >(grep -v '^X connection to' >&2) || status=$?
fi
if [ -f "$out/screenshot.png" ]; then
  echo "== the screenshot is in $out/screenshot.png"
else
  echo "== the demo saved no screenshot (exit status $status)" >&2
fi

echo "== the product's exported functions (build/win32/bin/velaplugin.dll)"
python3 tools/pe_check.py inspect build/win32/bin/velaplugin.dll --machine i386 --def build/win32/plugin/velaplugin.def
exit $status
