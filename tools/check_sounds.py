#!/usr/bin/env python3
"""Listens to the game's sounds: each file must decode with sox, and, decoded by
the game's own mixer (SDL2_mixer), last as long as it was made to, start
without a click and carry no offset from zero. The wind is played looping
through SDL's disk audio driver and the recording must repeat the file sample
for sample, joining its end to its start without a jump."""

import array
import ctypes
import math
import os
import pathlib
import subprocess
import sys
import tempfile
import time

SOUND_DIR = pathlib.Path(__file__).resolve().parent.parent / "sound"
RATE = 44100

# File name, intended length in seconds.
SOUNDS = [
    ("shipexplode.mp3", 2.4),
    ("form.mp3", 1.7),
    ("accelerate.mp3", 0.7),
    ("spin.mp3", 0.9),
    ("impact.mp3", 0.45),
    ("planetexplosion.mp3", 2.0),
    ("hollowwind.mp3", 10.0),
]
LOOPING = "hollowwind.mp3"

# No click when an effect starts: its first sample is near silence and its first half
# millisecond is well below the level it rises to in the next five.
START_LEVEL_LIMIT = 0.02  # of full scale, leaving room for the encoder's noise
ONSET = 0.0005
RISE = 0.005
ONSET_LIMIT = 0.5  # of the level after it
# An offset from zero wastes headroom that the mix's limiter then takes from the
# peaks, and steps in and out with every playback.
DC_LIMIT = 0.001  # of full scale
ORDINARY_STEP_PERCENTILE = 0.999  # the seam's step is an ordinary step of the wind
SEAM_WINDOW = 0.005  # a click shows as a burst of sample-to-sample change
LEVEL_WINDOW = 0.05  # a level jump shows between the last and first 50 ms
LEVEL_LIMIT_DB = 1.0
LOOPS_RECORDED = 3
RECORDING_TIMEOUT = 20.0  # seconds; the disk driver runs much faster than real time

SDL_INIT_AUDIO = 0x10
SDL_LOG_NOTHING = 7  # above SDL_LOG_PRIORITY_CRITICAL: the disk driver's warning stays quiet
MIX_INIT_MP3 = 0x08
AUDIO_S16LSB = 0x8010


class MixChunk(ctypes.Structure):
    _fields_ = [
        ("allocated", ctypes.c_int),
        ("abuf", ctypes.POINTER(ctypes.c_int16)),
        ("alen", ctypes.c_uint32),
        ("volume", ctypes.c_uint8),
    ]


class GameMixer:
    """SDL2_mixer opened as the game opens it, mono, writing its output to a file."""

    def __init__(self, recording):
        self.recording = recording
        self.sdl = ctypes.CDLL("libSDL2-2.0.so.0")
        self.mix = ctypes.CDLL("libSDL2_mixer-2.0.so.0")
        self.sdl.SDL_RWFromFile.restype = ctypes.c_void_p
        self.mix.Mix_LoadWAV_RW.restype = ctypes.POINTER(MixChunk)
        self.mix.Mix_LoadWAV_RW.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.mix.Mix_LoadMUS.restype = ctypes.c_void_p
        self.mix.Mix_PlayMusic.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.mix.Mix_FreeChunk.argtypes = [ctypes.POINTER(MixChunk)]
        self.sdl.SDL_LogSetAllPriority(SDL_LOG_NOTHING)
        self.open("dummy")

    def open(self, driver):
        os.environ["SDL_AUDIODRIVER"] = driver
        if self.sdl.SDL_InitSubSystem(SDL_INIT_AUDIO) != 0:
            sys.exit("check_sounds: SDL audio does not start")
        self.mix.Mix_Init(MIX_INIT_MP3)
        if self.mix.Mix_OpenAudioDevice(RATE, AUDIO_S16LSB, 1, 1024, None, 0) != 0:
            sys.exit("check_sounds: SDL_mixer does not open")

    def close(self):
        self.mix.Mix_CloseAudio()
        self.sdl.SDL_QuitSubSystem(SDL_INIT_AUDIO)

    def decode(self, path):
        """The samples the game plays, as floats in [-1, 1]."""
        chunk = self.mix.Mix_LoadWAV_RW(self.sdl.SDL_RWFromFile(str(path).encode(), b"rb"), 1)
        if not chunk:
            sys.exit(f"check_sounds: SDL_mixer cannot decode {path.name}")
        count = chunk.contents.alen // 2
        samples = [chunk.contents.abuf[i] / 32768.0 for i in range(count)]
        self.mix.Mix_FreeChunk(chunk)
        return samples

    def record_loop(self, path, length):
        """What the game's looping background playback of `path` sends out."""
        # The disk driver writes as fast as it can from the moment it opens.
        self.close()
        os.environ["SDL_DISKAUDIOFILE"] = self.recording
        os.environ["SDL_DISKAUDIODELAY"] = "0"
        self.open("disk")
        music = self.mix.Mix_LoadMUS(str(path).encode())
        self.mix.Mix_PlayMusic(music, -1)
        needed = 2 * (LOOPS_RECORDED + 1) * length
        deadline = time.monotonic() + RECORDING_TIMEOUT
        while os.path.getsize(self.recording) < needed and time.monotonic() < deadline:
            time.sleep(0.05)
        self.close()
        self.open("dummy")
        recorded = array.array("h", pathlib.Path(self.recording).read_bytes())
        if sys.byteorder == "big":
            recorded.byteswap()
        return [s / 32768.0 for s in recorded]


def rms(samples):
    return math.sqrt(sum(s * s for s in samples) / len(samples))


def dc(samples):
    return sum(samples) / len(samples)


def dc_is_small(samples):
    """Whether the offset is below the limit, and the same file shifted by twice
    the limit would not pass: the measure itself must see an offset."""
    shifted = [s + 2 * DC_LIMIT for s in samples]
    return abs(dc(samples)) < DC_LIMIT and abs(dc(shifted)) >= DC_LIMIT


def change_energy(samples):
    return sum((b - a) ** 2 for a, b in zip(samples, samples[1:]))


def repeats_exactly(recording, samples):
    """True when the recording holds LOOPS_RECORDED back-to-back copies of `samples`."""
    length = len(samples)
    head = samples[:64]
    for start in range(len(recording) - LOOPS_RECORDED * length):
        if recording[start : start + 64] == head:
            played = recording[start : start + LOOPS_RECORDED * length]
            return all(
                abs(s - samples[i % length]) <= 1.0 / 32768 for i, s in enumerate(played)
            )
    return False


def ordinary_step(samples):
    steps = sorted(abs(b - a) for a, b in zip(samples, samples[1:]))
    return steps[int(ORDINARY_STEP_PERCENTILE * len(steps))]


def onset_ratio(samples):
    onset = int(ONSET * RATE)
    return rms(samples[:onset]) / rms(samples[onset : onset + int(RISE * RATE)])


def seam_is_smooth(samples):
    """Compares the change across the loop point with the change everywhere else."""
    window = int(SEAM_WINDOW * RATE)
    seam = change_energy(samples[-window:] + samples[:window])
    elsewhere = [
        change_energy(samples[i : i + 2 * window])
        for i in range(0, len(samples) - 2 * window, 2 * window)
    ]
    step = abs(samples[0] - samples[-1])
    ordinary = ordinary_step(samples)
    level = int(LEVEL_WINDOW * RATE)
    level_jump = 20 * math.log10(rms(samples[:level]) / rms(samples[-level:]))
    print(
        f"  loop seam: last {samples[-1]:+.4f} -> first {samples[0]:+.4f}, a step of "
        f"{step:.4f} (99.9% of the steps elsewhere are below {ordinary:.4f});"
        f"\n  change in the 10 ms across it {seam:.4f}, elsewhere {min(elsewhere):.4f} to "
        f"{max(elsewhere):.4f}; level {level_jump:+.2f} dB from the last to the first 50 ms"
    )
    return step <= ordinary and seam <= max(elsewhere) and abs(level_jump) <= LEVEL_LIMIT_DB


def main():
    failures = []
    with tempfile.TemporaryDirectory() as work:
        mixer = GameMixer(os.path.join(work, "recording.raw"))
        for name, intended in SOUNDS:
            path = SOUND_DIR / name
            subprocess.run(["sox", str(path), "-n", "stat"], check=True, capture_output=True)
            samples = mixer.decode(path)
            seconds = len(samples) / RATE
            print(
                f"{name}: {seconds:.3f} s, {path.stat().st_size / 1024:.1f} KiB, "
                f"peak {max(abs(s) for s in samples):.2f}, RMS {rms(samples):.3f}, "
                f"DC {dc(samples):+.5f}, "
                f"first sample {samples[0]:+.4f}, first 0.5 ms at "
                f"{onset_ratio(samples):.2f} of the next 5 ms"
            )
            if len(samples) != round(intended * RATE):
                failures.append(f"{name} lasts {seconds:.4f} s, meant {intended} s")
            if not dc_is_small(samples):
                failures.append(f"{name} is offset from zero by {dc(samples):+.5f}")
            if name != LOOPING and (
                abs(samples[0]) > START_LEVEL_LIMIT or onset_ratio(samples) > ONSET_LIMIT
            ):
                failures.append(f"{name} starts with a click")
            if name == LOOPING:
                if repeats_exactly(mixer.record_loop(path, len(samples)), samples):
                    print(f"  played looping, {LOOPS_RECORDED} loops repeat it sample for sample")
                else:
                    failures.append(f"{name} does not repeat sample for sample when looped")
                if not seam_is_smooth(samples):
                    failures.append(f"{name} jumps where its end joins its start")
    for failure in failures:
        print("check_sounds: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
