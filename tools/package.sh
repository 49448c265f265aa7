#!/usr/bin/env bash
# Makes the release packages from this tree into <build>/dist:
#   vela-<version>-win64.zip   one folder, vela-<version>: the programs, the
#                              skins, the lists and the texts; unpacked
#                              anywhere, vela.exe runs from it
#   vela-<version>-setup.exe   the installer for one user, without
#                              administrator rights (release/installer.nsi)
# The Windows programs are built first, in the release configuration
# (<build>/release). The same tree gives the same bytes: every file is dated
# by the last commit (or SOURCE_DATE_EPOCH), names go in a fixed order.
#
#   tools/package.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${VELA_BUILD:-$top/build}
release=$out/release
dist=$out/dist

bash "$top/tools/setup-debian.sh"

if [ ! -f "$release/build.ninja" ]; then
  cmake -S "$top" -B "$release" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=MinSizeRel -DVELA_TESTS=OFF -DVELA_WERROR=ON >/dev/null
fi
# vela also packs the shipped skins beside itself.
ninja -C "$release" -j "$(nproc 2>/dev/null || echo 2)" vela vela-skin vela-rates
version=$(sed -n 's/^#define VELA_VERSION *"\(.*\)"$/\1/p' "$release/generated/vela_version.h")
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct 2>/dev/null || echo 1780000000)}

# What ships. Programs and texts are replaced by every install; lists and
# skins become the user's once changed (see release/installer.nsi).
programs=(vela.exe vela-skin.exe vela-rates.exe)
lists=(constant.txt currency.txt)
skins=()
for skin in "$release/windows"/*.skin; do skins+=("$(basename "$skin")"); done
# Texts for Windows users: CR LF, UTF-8 with the mark Notepad looks for.
texts=("LICENSE:LICENSE.txt" "CHANGELOG.md:CHANGELOG.txt"
       "docs/guide.ru.md:Руководство.txt" "docs/skin-format.md:skin-format.txt")

stage=$dist/stage/vela-$version
rm -rf "$dist/stage"
mkdir -p "$stage"
for name in "${programs[@]}" "${lists[@]}" "${skins[@]}"; do
  cp "$release/windows/$name" "$stage/$name"
done
for text in "${texts[@]}"; do
  { printf '\xEF\xBB\xBF'; sed 's/\r*$/\r/' "$top/${text%%:*}"; } > "$stage/${text#*:}"
done
find "$stage" -exec touch -h -d "@$stamp" {} +

# The installer's list of files, in the same order as the zip's.
files=$dist/stage/files.nsh
{
  echo "!macro VelaFiles PROGRAM DATA"
  for text in "${texts[@]}"; do printf '    !insertmacro ${PROGRAM} "%s"\n' "${text#*:}"; done
  for name in "${programs[@]}"; do printf '    !insertmacro ${PROGRAM} "%s"\n' "$name"; done
  for name in "${lists[@]}" "${skins[@]}"; do printf '    !insertmacro ${DATA} "%s"\n' "$name"; done
  echo "!macroend"
} > "$files"

zip=$dist/vela-$version-win64.zip
setup=$dist/vela-$version-setup.exe
rm -f "$zip" "$setup"
python3 "$top/release/make_zip.py" "$stage" "vela-$version" "$zip" "$stamp"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$files" \
         -DICON="$top/resources/vela.ico" -DOUTFILE="$setup" "$top/release/installer.nsi"

for package in "$zip" "$setup"; do
  printf '%s  %s bytes\n' "$package" "$(stat -c %s "$package")"
done
