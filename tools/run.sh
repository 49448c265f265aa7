#!/usr/bin/env bash
# Builds the calculator (vela.exe, with mingw-w64) and runs it under Wine:
# in a window on a desktop, else in a web browser (the address is printed;
# VELA_PORT chooses the port). See tools/run-vela.sh.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${VELA_BUILD:-$top/build}

bash "$top/tools/setup-debian.sh"
exec "$top/tools/run-vela.sh" "$out/windows"
