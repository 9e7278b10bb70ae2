#!/usr/bin/env python3
"""Measures what the real game costs on the title screen and in play.

Starts the game under the current X display (make pacing runs it under Xvfb with
Mesa's software renderer), counts the frames it shows through the preloaded swap
counter, and reads the CPU time it used from /proc/<pid>/stat, first while the
title shows and then in play, after two clicks. Extra arguments go to the game,
e.g. --max-fps 0.

Usage: bench/pacing.py BINARY SWAP_COUNTER_LIBRARY [game options...]
"""

import os
import struct
import subprocess
import sys
import tempfile
import time

SETTLE_SECONDS = 3.0  # loading, the first frames, the ambience starting
MEASURE_SECONDS = 10.0
WINDOW_TIMEOUT_SECONDS = 60.0
TICKS_PER_SECOND = os.sysconf("SC_CLK_TCK")
REPOSITORY = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        # The command name may hold spaces: the fields count from after its ')'.
        fields = stat.read().rsplit(")", 1)[1].split()
    user_ticks, system_ticks = int(fields[11]), int(fields[12])
    return (user_ticks + system_ticks) / TICKS_PER_SECOND


def frames_shown(counter_path):
    with open(counter_path, "rb") as counter:
        data = counter.read(8)
    return struct.unpack("<Q", data)[0] if len(data) == 8 else 0


def find_window(game):
    deadline = time.monotonic() + WINDOW_TIMEOUT_SECONDS
    while time.monotonic() < deadline:
        if game.poll() is not None:
            sys.exit("pacing: the game ended before its window showed")
        found = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Vantorel$"],
            capture_output=True, text=True).stdout.split()
        if found:
            return found[0]
        time.sleep(0.1)
    sys.exit("pacing: no game window")


def click_middle(window):
    subprocess.run(["xdotool", "mousemove", "--window", window, "200", "200",
                    "click", "1"], check=True)


def measure(name, pid, counter_path):
    time.sleep(SETTLE_SECONDS)
    cpu_before, frames_before, start = cpu_seconds(pid), frames_shown(counter_path), time.monotonic()
    time.sleep(MEASURE_SECONDS)
    cpu = cpu_seconds(pid) - cpu_before
    frames = frames_shown(counter_path) - frames_before
    wall = time.monotonic() - start
    per_frame = f"{1000.0 * cpu / frames:6.2f} ms CPU per frame" if frames else "no frames"
    print(f"{name:6} {100.0 * cpu / wall:6.1f}% of one core  {frames / wall:7.1f} frames/s  "
          f"{per_frame}")


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    binary, library, game_options = sys.argv[1], sys.argv[2], sys.argv[3:]
    with tempfile.TemporaryDirectory() as scratch:
        counter_path = os.path.join(scratch, "swaps")
        environment = dict(os.environ, LD_PRELOAD=os.path.abspath(library),
                           VANTOREL_SWAP_COUNTER=counter_path)
        game = subprocess.Popen([os.path.abspath(binary), *game_options], cwd=REPOSITORY,
                                env=environment)
        try:
            window = find_window(game)
            measure("title", game.pid, counter_path)
            click_middle(window)
            time.sleep(0.5)
            click_middle(window)
            measure("play", game.pid, counter_path)
        finally:
            game.terminate()
            game.wait()


if __name__ == "__main__":
    main()
