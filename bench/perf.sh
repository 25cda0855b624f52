#!/usr/bin/env bash
# make perf: runs the real program on a private Xvfb at the design size with
# the default inputs, watches it from outside with perf_probe and prints one
# table: metric, target, measured, pass/fail.
#
#   bench/perf.sh [BUILD_DIR]        (default: build)
#
# PERF_SECONDS (20) is the length of the measuring window, PERF_LAUNCHES (5)
# the number of launches whose start-up time is taken, after one warm-up.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
seconds=${PERF_SECONDS:-20}
launches=${PERF_LAUNCHES:-5}
app=$build/app/solitons
probe=$build/bench/perf_probe

for f in "$app" "$probe"; do
    if [ ! -x "$f" ]; then
        echo "perf: $f is missing; build first (make build; perf_probe needs libxcb-damage0-dev)" >&2
        exit 1
    fi
done
command -v Xvfb >/dev/null || { echo "perf: Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }

tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

# A server of our own on whatever display is free; 24 bits so that the
# curves' pure red, green and blue come back unchanged from the screen.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
[ -s "$tmp/display" ] || { echo "perf: Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"
# Keeps the toolkit from warning about a missing runtime directory.
mkdir -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR=$tmp/runtime

load_before=$(cut -d' ' -f1 /proc/loadavg)

# Start-up: fork to the first frame on screen. The first launch warms the
# page cache and the font caches and is not counted.
"$probe" --seconds 0 --settle 0 "$app" >/dev/null
: >"$tmp/startup"
for _ in $(seq "$launches"); do
    "$probe" --seconds 0 --settle 0 "$app" |
        awk -F= '$1 == "first_frame_ms" { t = $2 } $1 == "first_frame_cpu_ms" { c = $2 } END { print t, c }' \
            >>"$tmp/startup"
done

# The steady state: one run, measured over the window after a settling second.
"$probe" --seconds "$seconds" --settle 1 --server-pid "$xvfb_pid" "$app" >"$tmp/run"
load_after=$(cut -d' ' -f1 /proc/loadavg)

# Time to draw one frame, if the frame benchmark has been built.
: >"$tmp/bench"
if [ -x "$build/bench/frame_bench" ]; then
    "$build/bench/frame_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_format=csv 2>/dev/null | grep '_median"' >"$tmp/bench" || true
fi

awk -v seconds="$seconds" -v launches="$launches" -v load_before="$load_before" -v load_after="$load_after" \
    -v startup_file="$tmp/startup" -v bench_file="$tmp/bench" -f "$here/perf_table.awk" "$tmp/run"
