#!/usr/bin/env bash
# Penvoro's benchmark. Builds the program, the minimal Qt window and the benchmark program
# (Release, in build-bench/), starts a virtual X server (Xvfb, no window manager) and:
#  1. launches Penvoro and minimal_window in turn, timing each launch until its window is
#     mapped, and reads the peak resident memory of each (VmHWM) half a second later;
#  2. runs penvoro_bench: Penvoro's start-up step by step, sheet switching, "Add all
#     months up", "Save All" and "Open file" on a full year, and "Open file" on the worst
#     years the reader accepts, until January is painted (5 repetitions each).
# Each figure is printed beside its goal. Not a test: it only reports.
#
#   bench/run-bench.sh [launches] [repetitions]      (15 launches each, 200 repetitions)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
launches=${1:-15}
repetitions=${2:-200}
build=$root/build-bench

for tool in cmake ninja Xvfb python3; do
    command -v "$tool" >/dev/null || { echo "run-bench.sh needs $tool" >&2; exit 1; }
done

echo "Building (Release) in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target Penvoro minimal_window penvoro_bench >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/penvoro-bench.XXXXXX")
xvfb_pid=""
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -m 700 "$work/runtime"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
deadline=$((SECONDS + 20))
until grep -q '^[0-9]' "$work/display" 2>/dev/null; do
    if ! kill -0 "$xvfb_pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        cat "$work/xvfb.log" >&2
        echo "Xvfb did not start" >&2
        exit 1
    fi
    sleep 0.1
done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime" LANG=C.UTF-8 LC_ALL=C.UTF-8
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI WAYLAND_DISPLAY

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
verdict() { awk -v value="$1" -v goal="$2" 'BEGIN { print (value <= goal) ? "met" : "MISSED" }'; }

echo
echo "Machine: $(grep -m 1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg); Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6)"
echo "Display $DISPLAY (Xvfb, no window manager)"
echo

timer=$root/bench/launch-timer.py
: >"$work/penvoro" && : >"$work/minimal"
for ((launch = 1; launch <= launches; launch++)); do
    # Alternate which program goes first, so that neither profits from the other.
    if ((launch % 2)); then order="penvoro minimal"; else order="minimal penvoro"; fi
    for which in $order; do
        if [ "$which" = penvoro ]; then
            python3 "$timer" "Main menu" "$build/Penvoro" >>"$work/penvoro"
        else
            python3 "$timer" "Minimal window" "$build/bench/minimal_window" >>"$work/minimal"
        fi
    done
done
penvoro_ms=$(cut -d' ' -f1 "$work/penvoro" | median)
minimal_ms=$(cut -d' ' -f1 "$work/minimal" | median)
penvoro_kb=$(cut -d' ' -f2 "$work/penvoro" | median)
minimal_kb=$(cut -d' ' -f2 "$work/minimal" | median)
time_ratio=$(awk -v a="$penvoro_ms" -v b="$minimal_ms" 'BEGIN { printf "%.2f", a / b }')
memory_ratio=$(awk -v a="$penvoro_kb" -v b="$minimal_kb" 'BEGIN { printf "%.2f", a / b }')

echo "Start-up until the window is mapped (median of $launches launches each, alternating)"
printf '  %-16s %8.1f ms\n' minimal_window "$minimal_ms"
printf '  %-16s %8.1f ms   %5s x the minimal window   goal <= 2.5 x   %s\n' Penvoro \
    "$penvoro_ms" "$time_ratio" "$(verdict "$time_ratio" 2.5)"
echo "Peak resident memory (VmHWM, half a second after the window is mapped)"
printf '  %-16s %8.1f MiB\n' minimal_window "$(awk -v k="$minimal_kb" 'BEGIN { print k / 1024 }')"
printf '  %-16s %8.1f MiB  %5s x the minimal window   goal <= 2 x     %s\n' Penvoro \
    "$(awk -v k="$penvoro_kb" 'BEGIN { print k / 1024 }')" "$memory_ratio" \
    "$(verdict "$memory_ratio" 2)"
echo

# The benchmark program writes its file into a temporary folder of its own.
TMPDIR=$work "$build/bench/penvoro_bench" "$repetitions"
