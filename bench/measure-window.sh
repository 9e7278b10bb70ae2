#!/usr/bin/env bash
# Measures the real game against the floor, a bare GLUT window drawing one
# opaque full-window textured quad and a swap (bench/bare_window.cpp):
#  - start-up: from the exec to the first frame on screen (the game's title);
#  - the frame time at the start of play (the game unpaced, clicked into play),
#    in wall time and in the CPU time of all the program's threads;
#  - resident memory (VmRSS, and its peak VmHWM) after a few seconds of that.
# Each figure is also given as a ratio to the floor's. The floor and the game
# run in turn, `pairs` times each, and the medians are compared.
# Usage: bench/measure-window.sh [build-dir] [pairs]
# GAME=path/to/vantorel measures another build of the game against the same floor.
# Run it from the repository root on a quiet machine; without a display it
# starts its own Xvfb. Needs xdotool.
set -euo pipefail

build=${1:-build}
pairs=${2:-5}
game=("${GAME:-./$build/vantorel}" --max-fps 0 --no-records)
bare=(./"$build"/bench/bare_window)
counter_library=$PWD/$build/bench/libvantorel_swap_counter.so
settle_seconds=2
measure_seconds=3

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$0" "$@"
fi
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export LIBGL_ALWAYS_SOFTWARE=${LIBGL_ALWAYS_SOFTWARE:-1}
for file in "${game[0]}" "${bare[0]}" "$counter_library"; do
    [[ -e "$file" ]] || { echo "measure-window: $file is missing; build it first" >&2; exit 1; }
done

counter=$(mktemp)
measures=$(mktemp)
trap 'rm -f "$counter" "$measures"' EXIT

# Milliseconds from the exec to the first frame of one fresh start.
first_frame_ms() {
    VANTOREL_SWAP_EXIT=1 VANTOREL_SWAP_T0=$EPOCHREALTIME LD_PRELOAD=$counter_library "$@" \
        2>&1 >/dev/null | awk '/^first frame after/ { print $4 }'
}

frames_shown() {
    od -An -t u8 -N 8 "$counter" | tr -d ' '
}

status_field() {
    awk -v field="$2:" '$1 == field { print $2 }' "/proc/$1/status"
}

# User and system time of every thread of a process, in clock ticks.
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# Runs a program for a while (the game is clicked through its title and
# instructions into play), counts its frames and reads its memory.
# Prints: milliseconds per frame, CPU milliseconds per frame, VmRSS kB, VmHWM kB.
frame_and_memory() {
    : >"$counter"
    VANTOREL_SWAP_COUNTER=$counter LD_PRELOAD=$counter_library "$@" >/dev/null 2>&1 &
    local pid=$!
    if [[ "$1" == "${game[0]}" ]]; then
        local window
        window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Vantorel$' | head -n 1)
        xdotool mousemove --window "$window" 200 200 click 1 # the title
        sleep 0.5
        xdotool mousemove --window "$window" 200 200 click 1 # the instructions: play starts
    fi
    sleep "$settle_seconds"
    local frames_before started ticks_before
    frames_before=$(frames_shown)
    started=$EPOCHREALTIME
    ticks_before=$(cpu_ticks "$pid")
    sleep "$measure_seconds"
    local frames=$(($(frames_shown) - frames_before)) ended=$EPOCHREALTIME
    local ticks=$(($(cpu_ticks "$pid") - ticks_before))
    local rss hwm
    rss=$(status_field "$pid" VmRSS)
    hwm=$(status_field "$pid" VmHWM)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v frames="$frames" -v started="$started" -v ended="$ended" -v rss="$rss" -v hwm="$hwm" \
        -v ticks="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN {
            printf "%.3f %.3f %d %d\n", 1000 * (ended - started) / frames,
                   1000 * ticks / hz / frames, rss, hwm
        }'
}

median() {
    sort -g | awk '{ value[NR] = $1 }
        END { print (NR % 2) ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2 }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//');" \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
renderer=$(glxinfo -B 2>/dev/null | awk -F': ' '/OpenGL renderer/ { print $2 }' || true)
echo "renderer: ${renderer:-unknown (glxinfo is in mesa-utils)}"

echo "start-up to the first frame, ms: floor, game, ratio (one pair a line)"
bare_times=() game_times=()
for ((pair = 0; pair < pairs; pair++)); do
    bare_ms=$(first_frame_ms "${bare[@]}")
    game_ms=$(first_frame_ms "${game[@]}")
    bare_times+=("$bare_ms") game_times+=("$game_ms")
    awk -v b="$bare_ms" -v g="$game_ms" 'BEGIN { printf "  %8.1f %8.1f %6.2fx\n", b, g, g / b }'
done
awk -v b="$(printf '%s\n' "${bare_times[@]}" | median)" \
    -v g="$(printf '%s\n' "${game_times[@]}" | median)" \
    'BEGIN { printf "  median %.1f %.1f %.2fx\n", b, g, g / b }'

echo "at the start of play: frame ms, CPU ms a frame, resident kB, peak kB;" \
    "floor, game, ratio (one pair a line)"
for ((pair = 0; pair < pairs; pair++)); do
    read -r bare_figures < <(frame_and_memory "${bare[@]}")
    read -r game_figures < <(frame_and_memory "${game[@]}")
    echo "$bare_figures $game_figures" | tee -a "$measures" | awk '{
        printf "  frame %6.2f %6.2f %5.2fx  cpu %6.2f %6.2f %5.2fx  rss %d %d %5.3fx  peak %d %d %5.3fx\n",
               $1, $5, $5 / $1, $2, $6, $6 / $2, $3, $7, $7 / $3, $4, $8, $8 / $4
    }'
done
column_median() {
    awk -v column="$1" '{ print $column }' "$measures" | median
}
awk -v bf="$(column_median 1)" -v gf="$(column_median 5)" -v bc="$(column_median 2)" \
    -v gc="$(column_median 6)" -v br="$(column_median 3)" -v gr="$(column_median 7)" \
    -v bh="$(column_median 4)" -v gh="$(column_median 8)" -v pairs="$pairs" 'BEGIN {
        printf "medians of %d:\n", pairs
        printf "frame at the start of play, ms: floor %.3f, game %.3f, %.2fx\n", bf, gf, gf / bf
        printf "CPU a frame, ms: floor %.3f, game %.3f, %.2fx\n", bc, gc, gc / bc
        printf "resident memory, kB: floor %d, game %d, %.3fx (peak %d, %d, %.3fx)\n",
               br, gr, gr / br, bh, gh, gh / bh
    }'
