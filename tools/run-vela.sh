#!/usr/bin/env bash
# Builds vela.exe with mingw-w64 and starts it under Wine.
#
# On a desktop (DISPLAY set) the window opens there. Without a display the
# window is served to a web browser: a headless X server of its own, x11vnc
# and noVNC; open the address it prints (from another machine: forward the
# port, e.g. `ssh -L 6080:localhost:6080 host`). Runs until Ctrl+C or until
# the program ends, then stops everything it started.
#
#   tools/run-vela.sh [build-folder]
#   VELA_PORT=6080        the browser's port
#   VELA_LISTEN=127.0.0.1 the address it listens on (0.0.0.0: every one)
set -euo pipefail
source "$(dirname "$0")/wine-common.sh"

build=$(mkdir -p "${1:-/tmp/build-win}" && cd "${1:-/tmp/build-win}" && pwd)
vela_build_windows "$build" vela
vela_wine_env "$build"

if [ -n "${DISPLAY:-}" ]; then
  vela_wine_prefix managed
  exec wine "$build/windows/vela.exe"
fi

port=${VELA_PORT:-6080}
listen=${VELA_LISTEN:-127.0.0.1}
if vela_port_taken "$port"; then
  echo "run-vela: port $port is taken; choose another with VELA_PORT" >&2
  exit 1
fi

# Everything started here ends with this script, however it ends. Started in
# the background, these ignore Ctrl+C themselves: the trap stops them.
started=()
stop_all() {
  trap - EXIT INT TERM
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null || true; done
  vela_stop_xvfb
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

vela_start_xvfb 1024x768x24
vela_wine_prefix unmanaged

vnc_port=5900
while vela_port_taken "$vnc_port"; do vnc_port=$((vnc_port + 1)); done
x11vnc -display "$DISPLAY" -localhost -rfbport "$vnc_port" -forever -shared -nopw -quiet \
       -noxdamage >/dev/null 2>&1 &
started+=($!)
vela_wait_for_port "$vnc_port"
websockify --web /usr/share/novnc "$listen:$port" "localhost:$vnc_port" >/dev/null 2>&1 &
started+=($!)
vela_wait_for_port "$port"

wine "$build/windows/vela.exe" &
started+=($!)
echo "Vela: open http://localhost:$port/vnc_lite.html in a web browser (Ctrl+C ends)"
# `wait` returns at once on Ctrl+C, and when the program ends.
wait "${started[-1]}" || true
