#!/usr/bin/env bash
# Builds the calculator and runs it. Until the Windows program starts from
# here, this runs the key-script runner on the worked example.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${VELA_BUILD:-$top/build}

bash "$top/tools/setup-debian.sh"
cmake -S "$top" -B "$out/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug > /dev/null
cmake --build "$out/native" --target vela-keys
if [ $# -eq 0 ]; then set -- --trace 2 right 1 3 ok; fi
"$out/native/tools/vela-keys" "$@"
