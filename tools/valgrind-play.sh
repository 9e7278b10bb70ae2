#!/usr/bin/env bash
# Plays about ten seconds of scripted play on the real game under valgrind's
# memcheck and fails if memcheck finds an error in our code, or a block that our
# code lost for good. Run it under an X display (make valgrind starts Xvfb).
# Usage: tools/valgrind-play.sh [binary]   (default: build/vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."

binary=${1:-build/vantorel}
out=${VALGRIND_OUT:-build/valgrind}
startup_timeout=${VALGRIND_STARTUP_TIMEOUT:-300}
mkdir -p "$out"
# The game keeps its records here, never in the real home.
export XDG_DATA_HOME="$out/data-home"
xml="$out/memcheck.xml"
log="$out/memcheck.log"

valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --track-origins=yes --num-callers=40 --child-silent-after-fork=yes \
    --suppressions=tools/valgrind.supp --gen-suppressions=all \
    --xml=yes --xml-file="$xml" --log-file="$log" \
    "$binary" &
game=$!
started=$SECONDS

stop_game() {
    kill -TERM "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
}
trap stop_game EXIT

give_up() {
    echo "valgrind-play: $1" >&2
    exit 1
}

# Waits, bounded, until `condition` holds; the game is slow under valgrind.
wait_until() {
    local what=$1
    shift
    until "$@"; do
        ((SECONDS - started <= startup_timeout)) || give_up "no $what after ${startup_timeout} s"
        kill -0 "$game" 2>/dev/null || give_up "the game ended before showing $what"
        sleep 0.5
    done
}

window=""
find_window() {
    window=$(xdotool search --onlyvisible --name '^Vantorel$' 2>/dev/null | head -n 1 || true)
    [[ -n "$window" ]]
}
picture() { import -window "$window" -format '%#' info: 2>/dev/null || true; }
# Loading under valgrind takes a while after the window opens: the title shows
# once something but black is drawn.
drawn() { [[ "$(import -window "$window" -format '%[fx:maxima]' info: 2>/dev/null)" != 0 ]]; }
shown=""
changed() { [[ "$(picture)" != "$shown" ]]; }
next_screen() { # presses, then waits for the window to show something else
    shown=$(picture)
    press "$@"
    wait_until "a new screen" changed
}

# Window pixels of a world point: 1024 by 768 pixels over 100 by 75 units.
pixel() { awk -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", (x + 50) * 10.24, (75 - y) * 10.24 }'; }
at() { xdotool mousemove --window "$window" $(pixel "$1" "$2"); }
# Presses last a few frames even under valgrind: the ship only reads the button
# on its update, so a press released before the next frame does nothing.
press() { at "$1" "$2"; xdotool mousedown "${4:-1}"; sleep "${3:-0.4}"; xdotool mouseup "${4:-1}"; }

wait_until "game window" find_window
wait_until "title" drawn
echo "valgrind-play: title after $((SECONDS - started)) s; playing"
play_started=$SECONDS
next_screen 0 37.5       # the title
next_screen 0 37.5       # the instructions
press 0 48 2             # spin up on the ship, where a game starts
press -30 60             # fly off, towing what it caught
sleep 1.5
press 30 20 0.4 3        # a right press changes course
sleep 0.5
press 20 60 0.2 2        # the middle button
at 20 60
xdotool click 4 click 5  # the wheel, both ways
at 40 70                 # a drag out past the window's corner
xdotool mousedown 1 mousemove 2000 0 sleep 0.5 mouseup 1
press -40 10
sleep 0.5
press 0 40               # into the sun: the ship is lost
sleep 1.5
press 0 37.5             # a new game
sleep 0.5
echo "valgrind-play: played $((SECONDS - play_started)) s; ending the game"
import -window "$window" "$out/end-of-play.png" 2>/dev/null || true

if ! kill -0 "$game" 2>/dev/null; then
    echo "valgrind-play: the game ended during play" >&2
    exit 1
fi
trap - EXIT
stop_game
echo "valgrind-play: $((SECONDS - started)) s under valgrind in all"
python3 tools/valgrind_report.py "$xml"
