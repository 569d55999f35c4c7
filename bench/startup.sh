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

timer="$build/bench/tavik_map_timer"
reference="$build/bench/tavik_startup_reference"
tavik="$build/tavik"
"$timer" "$reference" >/dev/null # warm the caches
"$timer" "$tavik" >/dev/null

# Runs alternate between the two programs, so a drift in the machine's load
# touches both alike.
: >"${TMPDIR:-/tmp}/startup.$$.ref"
: >"${TMPDIR:-/tmp}/startup.$$.tavik"
for _ in $(seq "$runs"); do
    "$timer" "$reference" >>"${TMPDIR:-/tmp}/startup.$$.ref"
    "$timer" "$tavik" >>"${TMPDIR:-/tmp}/startup.$$.tavik"
done

report() { # name, file of "ms KiB" lines
    local ms kib
    ms=$(cut -d' ' -f1 "$2" | median)
    kib=$(cut -d' ' -f2 "$2" | median)
    awk -v n="$1" -v ms="$ms" -v kib="$kib" \
        'BEGIN { printf "%-10s start-up %6.1f ms   resident %5.1f MiB\n", n, ms, kib / 1024 }'
    rm -f "$2"
}
report reference "${TMPDIR:-/tmp}/startup.$$.ref"
report tavik "${TMPDIR:-/tmp}/startup.$$.tavik"
