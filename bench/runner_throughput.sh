#!/usr/bin/env bash
# Throughput of vela-keys on one million keys from standard input, against
# `wc -w` splitting the same words (a baseline measured in the same run).
# Usage: bench/runner_throughput.sh BUILD_DIR
set -euo pipefail
build=${1:?build folder with tools/phone/vela-keys}
keys=1000000
script=$(mktemp)
trap 'rm -f "$script"' EXIT

# A realistic mix: digits, operators through layers, functions, evaluation,
# backspace and hexadecimal letters.
awk -v n="$keys" 'BEGIN {
    split("0 1 2 3 4 5 6 7 8 9 * # left up right down ok talk back", w, " ")
    srand(2026)
    for (i = 0; i < n; i++) printf "%s ", w[int(rand() * 19) + 1]
    print ""
}' > "$script"

# Best of three wall-clock runs, in microseconds.
best_us() {
    local best=0 start end t
    for _ in 1 2 3; do
        start=$(date +%s%N); "$@" > /dev/null; end=$(date +%s%N)
        t=$(( (end - start) / 1000 ))
        if [ "$best" -eq 0 ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    echo "$best"
}

runner=$(best_us sh -c "'$build/tools/phone/vela-keys' < '$script'")
baseline=$(best_us sh -c "wc -w < '$script'")
echo "vela-keys: $keys keys in $runner us = $(( keys * 1000000 / runner )) keys/s"
echo "wc -w:     $keys words in $baseline us"
echo "ratio vela-keys / wc -w: $(( runner * 10 / baseline / 10 )).$(( runner * 10 / baseline % 10 ))"
