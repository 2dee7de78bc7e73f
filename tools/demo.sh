#!/usr/bin/env bash
# Builds the product, velaplugin.dll (PE32, i686), and shows its exported functions.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/bootstrap.sh --no-wine32
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velaplugin
python3 tools/pe_check.py inspect build/win32/bin/velaplugin.dll --machine i386 --def plugin/velaplugin.def
