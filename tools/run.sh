#!/usr/bin/env bash
# Builds the calculator (vela.exe, with mingw-w64) and runs it under Wine.
# Without a display it starts a headless X server of its own.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${VELA_BUILD:-$top/build}

bash "$top/tools/setup-debian.sh"
exec "$top/tools/run-vela.sh" "$out/windows"
