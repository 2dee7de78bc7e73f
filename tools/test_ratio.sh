#!/usr/bin/env bash
# Counts the non-empty lines of C and C++ sources (.cpp .h .hpp .inl .c) that git tracks: the
# tests (everything under tests/) against the library (everything outside tests/, bench/, host/,
# tools/ and cmake/), and prints both, their ratio and the tests' share of the two together.
#
#   tools/test_ratio.sh            # print the figures
#   tools/test_ratio.sh --check    # also fail when the tests exceed half the library or fall
#                                  # below a quarter of it
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
  --check) check=true ;;
  "") ;;
  *) echo "usage: tools/test_ratio.sh [--check]" >&2; exit 2 ;;
esac

sources='\.(cpp|h|hpp|inl|c)$'
count_lines() {  # non-empty lines of the files named on standard input, one per line
  local total=0 file
  while IFS= read -r file; do
    total=$((total + $(grep -c . "$file" || true)))
  done
  echo "$total"
}

tests=$(git ls-files -- tests | grep -E "$sources" | count_lines)
library=$(git ls-files | grep -E "$sources" | grep -vE '^(tests|bench|host|tools|cmake)/' | count_lines)
if [ "$library" -eq 0 ]; then
  echo "no library sources found" >&2
  exit 1
fi

awk -v t="$tests" -v l="$library" 'BEGIN {
  printf "test lines:    %d\n", t
  printf "library lines: %d\n", l
  printf "ratio:         %.2f test lines per library line (allowed 0.25 to 0.50)\n", t / l
  printf "test share:    %.1f %% of library and tests together\n", 100 * t / (t + l)
}'

if $check; then
  if [ $((tests * 2)) -gt "$library" ]; then
    echo "tests exceed half the library: at most $((library / 2)) test lines" >&2
    exit 1
  fi
  if [ $((tests * 4)) -lt "$library" ]; then
    echo "tests are below a quarter of the library: at least $(((library + 3) / 4)) test lines" >&2
    exit 1
  fi
  echo "within bounds"
fi
