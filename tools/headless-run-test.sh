#!/usr/bin/env bash
# tools/run.sh on a machine without a display, as a user meets it: it prints
# an address; headless Chromium opens it and its screenshot shows the
# built-in keypad, pixel for pixel; Ctrl+C (SIGINT to the whole process group,
# as a terminal sends it) leaves no process of the run behind. The screenshot
# is <build>/headless-run/browser-view.png.
#
#   tools/headless-run-test.sh [build-folder]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-common.sh"
out=$(cd "${1:-$top/build}" && pwd)
work=$out/headless-run
rm -rf "$work"
mkdir -p "$work"
# A prefix of its own: whatever still runs in it afterwards was left behind.
export VELA_WINEPREFIX=$work/wineprefix

port=6080
while vela_port_taken "$port"; do port=$((port + 1)); done
driver_port=9515
while vela_port_taken "$driver_port" || [ "$driver_port" = "$port" ]; do driver_port=$((driver_port + 1)); done

run_pid=
driver_pid=
cleanup() {
  [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null || true
  [ -n "$run_pid" ] && kill -KILL -- "-$run_pid" 2>/dev/null || true
}
trap cleanup EXIT

(unset DISPLAY; export VELA_PORT=$port VELA_BUILD=$out; exec setsid bash "$top/tools/run.sh") > "$work/run.log" 2>&1 &
run_pid=$!
for _ in $(seq 1800); do
  grep -q "open http" "$work/run.log" && break
  kill -0 "$run_pid" 2>/dev/null || break
  sleep 0.1
done
address=$(sed -n 's/.*open \(http[^ ]*\).*/\1/p' "$work/run.log")
if [ -z "$address" ]; then
  cat "$work/run.log"
  echo "headless run: no address printed"
  exit 1
fi
echo "headless run: $(grep "open http" "$work/run.log")"

chromedriver --port="$driver_port" >"$work/chromedriver.log" 2>&1 &
driver_pid=$!
vela_wait_for_port "$driver_port"
python3 "$top/tests/release/browser_view.py" "$driver_port" "$address" "$work/browser-view.png" \
        "$top/resources/skin/base.bmp"
kill "$driver_pid"
driver_pid=

# Ctrl+C: the run stops all it started, then ends.
kill -INT -- "-$run_pid"
for _ in $(seq 300); do
  kill -0 "$run_pid" 2>/dev/null || break
  sleep 0.1
done
# What still runs of it: the run's session, and anything in its prefix (Wine
# starts its services in sessions of their own). An ended process may take a
# moment to be reaped.
leftovers() {
  local pid
  ps -e -o pid= -o sid= -o stat= | awk -v sid="$run_pid" '$2 == sid && $3 !~ /^Z/ {print $1}'
  for environ in /proc/[0-9]*/environ; do
    if grep -qzx "WINEPREFIX=$VELA_WINEPREFIX" "$environ" 2>/dev/null; then
      pid=${environ#/proc/}
      pid=${pid%/environ}
      ps -o stat= -p "$pid" 2>/dev/null | grep -qv '^Z' && echo "$pid"
    fi
  done
  return 0
}
left=
for _ in $(seq 50); do
  left=$(leftovers)
  [ -z "$left" ] && break
  sleep 0.1
done
if [ -n "$left" ]; then
  ps -o pid,stat,cmd -p $left
  echo "headless run: processes left after Ctrl+C"
  exit 1
fi
run_pid=
echo "headless run: passed"
