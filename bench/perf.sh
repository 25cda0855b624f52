#!/usr/bin/env bash
# make perf: measures the real program from outside and prints one table:
# metric, target, measured, pass/fail. On a private Xvfb, bench/perf_probe.py
# times start-up and runs solitons beside bench/floor; under a headless weston
# the same build's resident memory is read on native Wayland; curve_bench gives
# what the curves cost against their heights.
#
#   bench/perf.sh [BUILD_DIR]        (default: build)
#
# PERF_SECONDS (20) is the length of each measuring window, PERF_WINDOWS (3)
# their number, PERF_LAUNCHES (5) the number of launches whose start-up time is
# taken, after one warm-up.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
app=$build/app/solitons
floor=$build/bench/floor
# Debian's interpreter, which has python3-xlib, whatever else is on PATH.
python=/usr/bin/python3

for f in "$app" "$floor"; do
    [ -x "$f" ] || { echo "perf: $f is missing; build first (make build)" >&2; exit 1; }
done
command -v Xvfb >/dev/null || { echo "perf: Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }
"$python" -c 'import Xlib.ext.damage' 2>/dev/null ||
    { echo "perf: python3-xlib is missing (apt-get install python3-xlib)" >&2; exit 1; }

tmp=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$tmp"
}
trap cleanup EXIT

# Keeps the toolkit from warning about a missing runtime directory; weston
# wants one that only we can read.
mkdir -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR=$tmp/runtime

# VmRSS of solitons on native Wayland, a few seconds after start, when the
# first frames are long drawn; empty when weston or the platform plugin is
# missing.
wayland_rss() {
    command -v weston >/dev/null || return 0
    local socket=solitons-perf-$$
    weston --backend=headless-backend.so --use-pixman --socket="$socket" --no-config \
        --log="$tmp/weston.log" </dev/null &
    local weston_pid=$!
    for _ in $(seq 100); do
        [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
        sleep 0.1
    done
    if [ -S "$XDG_RUNTIME_DIR/$socket" ]; then
        env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="$socket" "$app" >/dev/null 2>"$tmp/wayland.log" &
        local app_pid=$!
        sleep 3
        awk '$1 == "VmRSS:" { print $2 }' "/proc/$app_pid/status" 2>/dev/null || true
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    kill "$weston_pid" 2>/dev/null || true
    wait "$weston_pid" 2>/dev/null || true
}
wayland_kb=$(wayland_rss)

factor=
if [ -x "$build/bench/curve_bench" ]; then
    factor=$("$build/bench/curve_bench" --benchmark_repetitions=5 2>/dev/null |
        awk '/^factor/ { print $2 }' || true)
fi

# A server of our own on whatever display is free; 24 bits so that the
# curves' pure red, green and blue come back unchanged from the screen.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
[ -s "$tmp/display" ] || { echo "perf: Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"

"$python" "$here/perf_probe.py" "$app" "$floor" --seconds "${PERF_SECONDS:-20}" --windows "${PERF_WINDOWS:-3}" \
    --launches "${PERF_LAUNCHES:-5}" ${wayland_kb:+--wayland-rss-kb "$wayland_kb"} ${factor:+--factor "$factor"}

# The page in headless Chromium against the least page that shows frames as often.
"$python" "$here/page_perf.py" "$here/../build/web/solitons.html" "${PERF_SECONDS:-20}"
