#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time (process start to window mapped) and resident memory of Tavik
# against a Qt window with one Japanese label, under Xvfb. Prints medians.
# Usage: bench/startup.sh [build-dir] [runs] [window-manager]
set -euo pipefail
build=${1:-build}
runs=${2:-15}
wm=${3:-} # a window manager to run, e.g. openbox; none by default

# Xvfb picks a free display and writes its number once it is ready; it must
# not reset when a measured program leaves, or the next one may find no server.
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$number" >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${wmpid:-} $xvfb 2>/dev/null || true; rm -f "$number"' EXIT
for _ in $(seq 100); do grep -q . "$number" && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$number")"
if [ -n "$wm" ]; then
    "$wm" >/dev/null 2>&1 &
    wmpid=$!
    sleep 1
fi

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
