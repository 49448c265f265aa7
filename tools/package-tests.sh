#!/usr/bin/env bash
# The packages as a user gets them (tools/package.sh made them in
# <build>/dist): made again in another build folder, they are the same
# bytes; then, under Wine in a fresh prefix, the installer and the zip are
# tried by tests/release/packages_wtest.cpp.
#
#   tools/package-tests.sh [build-folder] [GoogleTest options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/tools/wine-common.sh"
out=$top/build
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then out=$1; shift; fi
out=$(cd "$out" && pwd)
work=$out/package-tests

version=$(sed -n 's/^#define VELA_VERSION *"\(.*\)"$/\1/p' "$out/release/generated/vela_version.h")
zip=$out/dist/vela-$version-win64.zip
setup=$out/dist/vela-$version-setup.exe

echo "== the packages made again, in another build folder"
VELA_BUILD=$work/again bash "$top/tools/package.sh" >/dev/null
for package in "$zip" "$setup"; do
  if ! cmp "$package" "$work/again/dist/$(basename "$package")"; then
    echo "packages: $(basename "$package") differs when made again"
    exit 1
  fi
done
echo "packages: made twice, the same bytes: $(basename "$zip"), $(basename "$setup")"

echo "== the packages installed and unpacked under Wine"
vela_build_windows "$out/windows" vela_package_tests
trap 'wineserver -k 2>/dev/null || true; vela_stop_xvfb' EXIT
vela_start_xvfb
export VELA_WINEPREFIX=$work/wineprefix
rm -rf "$VELA_WINEPREFIX"
vela_wine_env "$out/windows"
vela_wine_prefix unmanaged

# As a user unpacks it: into a folder whose name has spaces and Cyrillic
# letters (the test knows it).
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
        "$zip" "$WINEPREFIX/drive_c/Мои программы"

VELA_SETUP=$(winepath -w "$setup")
export VELA_SETUP
cd "$out/windows/tests/release"
wine vela_package_tests.exe "$@"
