#!/bin/bash
# Start-up time (process start to window mapped) and resident memory of Tavik
# against a Qt window with one Japanese label, under Xvfb. Prints medians.
# Usage: bench/startup.sh [build-dir] [runs]
set -euo pipefail
build=${1:-build}
runs=${2:-15}
display=:$(( 80 + $$ % 9 ))

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 0.5
export DISPLAY="$display"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }

report() {
    local name=$1
    shift
    "$build/bench/tavik_map_timer" "$@" >/dev/null # warm the caches
    local results
    results=$(for _ in $(seq "$runs"); do "$build/bench/tavik_map_timer" "$@"; done)
    local ms kib
    ms=$(cut -d' ' -f1 <<<"$results" | median)
    kib=$(cut -d' ' -f2 <<<"$results" | median)
    awk -v n="$name" -v ms="$ms" -v kib="$kib" \
        'BEGIN { printf "%-10s start-up %6.1f ms   resident %5.1f MiB\n", n, ms, kib / 1024 }'
}

report reference "$build/bench/tavik_startup_reference"
report tavik "$build/tavik"
