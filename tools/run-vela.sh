#!/usr/bin/env bash
# Builds vela.exe with mingw-w64 and starts it under Wine. Without a display
# it starts a headless X server of its own (see the DISPLAY it prints; take a
# look with e.g. `import -display <it> -window root shot.png`).
#
#   tools/run-vela.sh [build-folder]
set -euo pipefail
source "$(dirname "$0")/wine-common.sh"

build=$(mkdir -p "${1:-/tmp/build-win}" && cd "${1:-/tmp/build-win}" && pwd)
vela_build_windows "$build" vela

if [ -z "${DISPLAY:-}" ]; then
  trap 'vela_stop_xvfb' EXIT
  vela_start_xvfb
  echo "headless display $DISPLAY"
  mode=unmanaged
else
  mode=managed
fi
vela_wine_env "$build"
vela_wine_prefix "$mode"
wine "$build/windows/vela.exe"
