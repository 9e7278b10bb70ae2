#!/usr/bin/env bash
# Measures the real game against a bare GLUT window (bench/bare_window.cpp):
#  - start-up: from the exec to the first frame on screen (the title);
#  - frame time at the start of play, from the frames swapped in a few seconds;
#  - resident memory (VmRSS, and its peak VmHWM) after those seconds of play.
# Usage: bench/measure-window.sh [build-dir] [start-up runs]
# Run it from the repository root (the game reads its data from there) on a
# quiet machine; without a display it starts its own Xvfb. Needs xdotool.
set -euo pipefail

build=${1:-build}
runs=${2:-5}
game=$build/vantorel
bare=$build/bench/bare_window
probe=$PWD/$build/bench/libswap_probe.so
playing_seconds=3
settle_seconds=2

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}
for file in "$game" "$bare" "$probe"; do
    [[ -e "$file" ]] || { echo "measure-window: $file is missing; build it first" >&2; exit 1; }
done

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Milliseconds from the exec to the first frame of one fresh start.
first_frame_ms() {
    SWAP_PROBE_EXIT=1 SWAP_PROBE_T0=$EPOCHREALTIME LD_PRELOAD=$probe "$1" 2>&1 >/dev/null |
        awk '$1 == "swap-probe" && $2 == "first" { print $4 }'
}

median() {
    sort -g | awk '{ value[NR] = $1 } END { print (NR % 2) ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2 }'
}

# The last "mark" line of the probe: swaps so far and milliseconds.
last_mark() {
    awk '$1 == "swap-probe" && $2 == "mark" { swaps = $3; ms = $4 } END { print swaps, ms }' "$log"
}

# Starts a program, lets it run (the game is clicked through its title and
# instructions into play), counts its frames for a few seconds and reads its memory.
# Prints: milliseconds per frame, VmRSS kB, VmHWM kB.
frames_and_memory() {
    local program=$1 pid window
    : >"$log"
    SWAP_PROBE_T0=$EPOCHREALTIME LD_PRELOAD=$probe "$program" >/dev/null 2>"$log" &
    pid=$!
    for ((wait = 0; wait < 200; wait++)); do
        grep -q 'swap-probe first' "$log" && break
        sleep 0.05
    done
    if [[ "$program" == "$game" ]]; then
        window=$(timeout 10 xdotool search --sync --name '^Vantorel$' | head -n 1)
        xdotool mousemove --window "$window" 819 51 click 1 # title
        sleep 0.5
        xdotool mousemove --window "$window" 819 51 click 1 # instructions: play starts
    fi
    sleep "$settle_seconds"
    kill -USR1 "$pid"
    sleep 0.2
    read -r swaps_before ms_before < <(last_mark)
    sleep "$playing_seconds"
    kill -USR1 "$pid"
    sleep 0.2
    read -r swaps_after ms_after < <(last_mark)
    local rss hwm
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
    hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v n=$((swaps_after - swaps_before)) -v t0="$ms_before" -v t1="$ms_after" \
        -v rss="$rss" -v hwm="$hwm" 'BEGIN { printf "%.3f %d %d\n", (t1 - t0) / n, rss, hwm }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'); load $(cut -d' ' -f1-3 /proc/loadavg)"
renderer=$(glxinfo -B 2>/dev/null | awk -F': ' '/OpenGL renderer/ { print $2 }' || true)
echo "renderer: ${renderer:-unknown (glxinfo is in mesa-utils)}"

echo "start-up to the first frame, ms (bare, game, ratio), one pair a line:"
bare_times=() game_times=()
for ((run = 0; run < runs; run++)); do
    bare_ms=$(first_frame_ms "$bare")
    game_ms=$(first_frame_ms "$game")
    bare_times+=("$bare_ms") game_times+=("$game_ms")
    awk -v b="$bare_ms" -v g="$game_ms" 'BEGIN { printf "  %8.1f %8.1f %6.2fx\n", b, g, g / b }'
done
bare_median=$(printf '%s\n' "${bare_times[@]}" | median)
game_median=$(printf '%s\n' "${game_times[@]}" | median)
awk -v b="$bare_median" -v g="$game_median" \
    'BEGIN { printf "  median %.1f %.1f %.2fx\n", b, g, g / b }'

read -r bare_frame bare_rss bare_hwm < <(frames_and_memory "$bare")
read -r game_frame game_rss game_hwm < <(frames_and_memory "$game")
awk -v bf="$bare_frame" -v gf="$game_frame" -v br="$bare_rss" -v gr="$game_rss" \
    -v bh="$bare_hwm" -v gh="$game_hwm" 'BEGIN {
        printf "frame at the start of play, ms: bare %.3f, game %.3f, %.2fx\n", bf, gf, gf / bf
        printf "resident memory, kB: bare %d, game %d, %.2fx (peak %d, %d, %.2fx)\n", br, gr, gr / br, bh, gh, gh / bh
    }'
