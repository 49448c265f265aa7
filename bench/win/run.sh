#!/usr/bin/env bash
# Builds the Windows benchmarks with mingw-w64 and runs them under Wine on a
# private headless X server:
#   - start to first paint of vela.exe at zoom 1 and 2 (its stored "Zoom"
#     value set for the rounds of each) against a minimal window program;
#   - one keypad repaint of the real window at zoom 1 and 3 against a window
#     of the bench's own that stretches the same image by the same zoom;
#   - a zoom change from 3 to 4 by the menu, to the end of its repaint.
#   - a round of key presses with a screen reader's event hook installed
#     against the same round without one.
# Timings only; nothing here belongs in CI.
#
#   bench/win/run.sh [build-folder] [start-up rounds per zoom]
#
# The build folder defaults to /tmp/build-winbench; its Wine prefix is
# <build>/wineprefix (or $VELA_WINEPREFIX).
set -euo pipefail
source "$(dirname "$0")/../../tools/wine-common.sh"

build=$(mkdir -p "${1:-/tmp/build-winbench}" && cd "${1:-/tmp/build-winbench}" && pwd)
rounds=${2:-10}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$vela_root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$vela_root/cmake/mingw-w64.cmake" \
    -DVELA_BENCH=ON -DVELA_TESTS=OFF >/dev/null
fi
ninja -C "$build" -j2 vela vela_minimal_window vela_startup_bench vela_repaint_bench vela_keypress_hook_bench

trap 'wineserver -k 2>/dev/null || true; vela_stop_xvfb' EXIT
vela_start_xvfb
vela_wine_env "$build"
vela_wine_prefix unmanaged

echo "== start-up (Wine $(wine --version 2>/dev/null), display $DISPLAY)"
(cd "$build/bench/win" && wine vela_startup_bench.exe "$rounds")
echo
echo "== repaint"
(cd "$build/bench/win" && wine vela_repaint_bench.exe)
echo
echo "== key press with a screen reader's event hook"
(cd "$build/bench/win" && wine vela_keypress_hook_bench.exe)
