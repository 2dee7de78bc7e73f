#!/usr/bin/env bash
# Runs every test, installing what is missing first:
#   native   the Win32-free core on Linux under AddressSanitizer, UBSan and short fuzz runs
#   win64    every test of the x86_64 build under 64-bit Wine on an Xvfb display
#   win32    the real product, velaplugin.dll (PE32), inspected and driven by its 32-bit tests
#            under emulated 32-bit Wine (these run inside the win64 ctest as win32.*)
# Ends with one line "tests: N passed, M failed".
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/bootstrap.sh

for preset in native win32 win64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

passed=0 failed=0 status=0
run_ctest() {
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log" || status=1
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    local total fail
    fail=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - fail))
    failed=$((failed + fail))
  else
    status=1
  fi
  rm -f "$log"
}

echo "== native tests"
run_ctest ctest --preset native
echo "== Windows tests (64-bit Wine; the 32-bit product under emulated 32-bit Wine)"
run_ctest xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win64

echo "tests: $passed passed, $failed failed"
exit $status
