#!/usr/bin/env bash
# Builds the 32-bit product (velaplugin.dll and vela-archive.exe) and packs it for script
# authors as dist/velaplugin-<version>-win32.zip; see tools/package.py for what it holds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/bootstrap.sh --no-wine32
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velaplugin vela-archive
python3 tools/package.py build/win32 dist
