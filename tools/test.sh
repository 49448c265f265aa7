#!/usr/bin/env bash
# Builds everything and runs every test: the native tests under ASan/UBSan,
# each fuzz target for a bounded time, the Windows program's tests under
# Wine, then the release: the packages made (tools/package.sh), made again
# the same, installed and unpacked under Wine, and tools/run.sh without a
# display seen in a browser. Installs what it needs first (Debian, as root).
#
#   tools/test.sh            everything
#   FUZZ_SECONDS=10 tools/test.sh   shorter fuzz runs
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${VELA_BUILD:-$top/build}
fuzz_seconds=${FUZZ_SECONDS:-60}
jobs=$(nproc 2>/dev/null || echo 2)

bash "$top/tools/setup-debian.sh"

echo "== native build and tests (ASan, UBSan)"
cmake -S "$top" -B "$out/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELA_WERROR=ON > /dev/null
cmake --build "$out/native" -j "$jobs"
ctest --test-dir "$out/native" -j "$jobs" --output-on-failure --timeout 300 | tee "$out/native/ctest.log"
passed=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$out/native/ctest.log")

echo "== fuzz targets, ${fuzz_seconds} s each"
cmake -S "$top" -B "$out/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELA_FUZZ=ON > /dev/null
cmake --build "$out/fuzz" -j "$jobs"
for target in "$out"/fuzz/fuzz/*_fuzz; do
    name=$(basename "$target")
    corpus="$out/fuzz/corpus/$name"
    mkdir -p "$corpus"
    cp -n "$top/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
    log="$out/fuzz/$name.log"
    if ! (cd "$out/fuzz" && "$target" -max_total_time="$fuzz_seconds" -max_len=4096 \
              -print_final_stats=1 "$corpus" > "$log" 2>&1); then
        tail -n 40 "$log"
        echo "fuzz target $name failed"
        exit 1
    fi
    echo "$name: $(grep -E '^#[0-9]+.*DONE' "$log" | tail -n 1)"
    passed=$((passed + 1))
done

echo "== Windows program under Wine (screenshots in $out/windows/screenshots)"
"$top/tools/wine-tests.sh" "$out/windows" | tee "$out/wine.log"
wine_passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$out/wine.log" | tail -n 1)
passed=$((passed + ${wine_passed:-0}))

echo "== the release: packages made, installed and unpacked under Wine"
bash "$top/tools/package.sh"
"$top/tools/package-tests.sh" "$out" | tee "$out/packages.log"
packages_passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$out/packages.log" | tail -n 1)
passed=$((passed + ${packages_passed:-0} + 1))  # and the packages made twice

echo "== tools/run.sh without a display, seen in a browser"
"$top/tools/headless-run-test.sh" "$out"
passed=$((passed + 1))
echo "all: $passed passed, 0 failed"
