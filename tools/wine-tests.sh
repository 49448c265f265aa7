#!/usr/bin/env bash
# Builds vela.exe and the Windows tests with mingw-w64 and runs the tests under
# Wine on a private headless X server. Screenshots of the window (PNG) are
# written to <build>/screenshots.
#
#   tools/wine-tests.sh [build-folder] [GoogleTest options...]
#
# The build folder defaults to /tmp/build-win; its Wine prefix is
# <build>/wineprefix (or $VELA_WINEPREFIX).
set -euo pipefail
source "$(dirname "$0")/wine-common.sh"

build=/tmp/build-win
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then build=$1; shift; fi
build=$(mkdir -p "$build" && cd "$build" && pwd)

vela_build_windows "$build" vela vela_wine_tests

trap 'wineserver -k 2>/dev/null || true; vela_stop_xvfb' EXIT
vela_start_xvfb
vela_wine_env "$build"
vela_wine_prefix unmanaged

# A program folder whose temporary file name is a link to another file, for
# the test that a save never touches that file: Windows code under Wine can
# make no such link.
linked="$build/tests/wine/linked"
rm -rf "$linked"
mkdir -p "$linked"
printf 'precious\n' > "$linked/precious.txt"
printf '1\r\na=1\r\n' > "$linked/constant.txt"
ln -s precious.txt "$linked/~tmpcur~.txt"

# The rates server the download tests ask, for the whole run: its port in
# VELA_RATES_PORT.
rm -f "$build/rates-port"
python3 "$(dirname "$0")/rates/rates_http_server.py" "$build/rates-port" \
        "$(dirname "$0")/../samples/rates/cbr-sample.xml" 1800 &
rates_server=$!
trap 'kill $rates_server 2>/dev/null || true; wineserver -k 2>/dev/null || true; vela_stop_xvfb' EXIT
for _ in $(seq 50); do [ -s "$build/rates-port" ] && break; sleep 0.1; done
export VELA_RATES_PORT
VELA_RATES_PORT=$(cat "$build/rates-port")

shots="$build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
export VELA_SHOT_DIR
VELA_SHOT_DIR=$(winepath -w "$shots")

status=0
(cd "$build/tests/wine" && wine vela_wine_tests.exe "$@") || status=$?

for bmp in "$shots"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo "screenshots: $shots"
exit $status
