#!/usr/bin/env bash
# Synthesises the game's seven sounds with sox and encodes them with lame into sound/.
# Every noise is seeded (sox -R), so running it again gives the same files.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly rate=44100
readonly out=sound
# Brown noise wanders far below hearing, and what it wanders by stays in a sound
# as an offset from zero: each brown layer starts above this many hertz.
readonly below_hearing=20
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# layer NAME LENGTH SOURCE... [-- EFFECTS...]: a mono 16-bit layer of LENGTH seconds from
# the synth SOURCE into $work/NAME.wav, with headroom before the effects so none clips.
layer() {
    local name=$1 length=$2
    shift 2
    local source=()
    while [[ $# -gt 0 && $1 != -- ]]; do
        source+=("$1")
        shift
    done
    [[ $# -gt 0 ]] && shift
    sox -R -n -r "$rate" -c 1 -b 16 "$work/$name.wav" synth "$length" "${source[@]}" gain -12 "$@" \
        gain -n -3
}

# mix OUTPUT VOLUME LAYER... [-- EFFECTS...]: adds the layers at their volumes, with
# headroom so the sum and the effects never clip, then applies the EFFECTS.
mix() {
    local output=$1
    shift
    local inputs=()
    while [[ $# -gt 0 && $1 != -- ]]; do
        inputs+=(-v "$(awk "BEGIN { print $1 * 0.3 }")" "$work/$2.wav")
        shift 2
    done
    [[ $# -gt 0 ]] && shift
    local combine=()
    [[ ${#inputs[@]} -gt 3 ]] && combine=(-m)
    sox -R "${combine[@]}" "${inputs[@]}" -b 32 -e floating-point "$work/$output-sum.wav"
    sox -R "$work/$output-sum.wav" -b 16 "$work/$output.wav" "$@"
}

# Mono, 80 kbit/s: small files, and the LAME tag lets the decoder drop the
# encoder's delay and padding, so every sound starts on its first sample.
encode() {
    lame --quiet -m m -b 80 --resample 44.1 "$work/$1.wav" "$out/$1.mp3"
}

# A rumbling burst: a falling sub thump under overdriven brown noise and a short crackle.
ship_explode() {
    layer se_body 2.2 brownnoise -- highpass "$below_hearing" lowpass 900 overdrive 12 0 \
        fade q 0.008 fade t 0 2.2 2.15
    layer se_thump 1.3 sine 72-26 -- fade q 0.006 fade q 0 1.3 1.25
    layer se_crackle 0.5 whitenoise -- highpass 2500 tremolo 31 90 fade q 0.01 fade l 0 0.5 0.48
    mix shipexplode 0.8 se_body 1.0 se_thump 0.25 se_crackle -- pad 0 0.2 reverb 35 50 70 \
        fade t 0 2.4 0.2 gain -n -1
}

# A warm rising chime: an A-major arpeggio of mellow notes over a rising glow.
form() {
    local notes=(440 554.37 659.25 880) step=0.11 i=0
    local layers=()
    for frequency in "${notes[@]}"; do
        layer "fo_note$i" 1.2 triangle "$frequency" -- lowpass 2500 fade q 0.006 fade l 0 1.2 1.15 \
            pad "$(awk "BEGIN { print $i * $step }")"
        layers+=(0.5 "fo_note$i")
        i=$((i + 1))
    done
    layer fo_glow 1.0 sine 220-440 -- lowpass 800 fade h 0.3 1.0 0.6
    mix form "${layers[@]}" 0.35 fo_glow -- pad 0 0.17 reverb 55 50 80 fade t 0 1.7 0.25 \
        gain -n -2
}

# A short steady whir, heard restarted every frame while the button is held on the ship:
# it starts at full level within 3 ms from silence, and only its tail fades.
accelerate() {
    layer ac_hum 0.7 sawtooth 92 -- lowpass 600
    layer ac_air 0.7 pinknoise -- bandpass 1500 1.2q tremolo 38 60
    mix accelerate 0.6 ac_hum 0.5 ac_air -- fade q 0.003 0.7 0.3 gain -n -3
}

# A whoosh that swells and falls, fluttering as the ship turns.
spin() {
    layer sp_air 0.9 pinknoise -- bandpass 900 0.8q tremolo 7 45 phaser 0.8 0.74 3 0.4 0.6 -t
    mix spin 1.0 sp_air -- fade h 0.35 0.9 0.5 gain -n -2
}

# A thud: a quickly falling low tone and a brief muffled knock.
impact() {
    layer im_tone 0.45 sine 115-38 -- fade q 0.003 fade l 0 0.45 0.43
    layer im_knock 0.09 brownnoise -- highpass "$below_hearing" lowpass 500 fade q 0.003 0.09 0.08
    mix impact 1.0 im_tone 0.6 im_knock -- overdrive 4 0 gain -n -1
}

# A crunchy crash: crackling overdriven noise over a low boom.
planet_explosion() {
    layer pe_crunch 1.8 whitenoise -- lowpass 3500 overdrive 30 0 tremolo 23 70 \
        fade q 0.008 fade l 0 1.8 1.75
    layer pe_rumble 1.8 brownnoise -- highpass "$below_hearing" lowpass 400 fade q 0.008 \
        fade t 0 1.8 1.7
    layer pe_boom 1.0 sine 58-24 -- fade q 0.006 fade l 0 1.0 0.95
    mix planetexplosion 0.6 pe_crunch 0.7 pe_rumble 0.9 pe_boom -- pad 0 0.2 reverb 40 50 60 \
        fade t 0 2.0 0.2 gain -n -1
}

# A soft, hollow wind that loops without a seam. The noise bed runs two seconds
# past the loop; those two seconds are crossfaded (equal power) over the loop's
# opening, so its last sample flows into its first. The gusts swell a whole
# number of times per loop, so they join too.
readonly wind_loop=10
readonly wind_overlap=2
hollow_wind() {
    local length=$((wind_loop + wind_overlap))
    layer wi_low "$length" brownnoise -- highpass "$below_hearing" lowpass 260
    layer wi_hollow "$length" pinknoise -- bandpass 380 4q
    layer wi_air "$length" pinknoise -- bandpass 1300 2q
    mix wi_bed 0.9 wi_low 0.7 wi_hollow 0.25 wi_air -- reverb 60 50 100 gain -n -6
    # From here on no automatic gain: the joined part must keep the body's level.
    sox -R "$work/wi_bed.wav" "$work/wi_tail.wav" trim "$wind_loop" "$wind_overlap" \
        fade q 0 "$wind_overlap" "$wind_overlap"
    sox -R "$work/wi_bed.wav" "$work/wi_head.wav" trim 0 "$wind_overlap" fade q "$wind_overlap"
    sox -R -m -v 1 "$work/wi_tail.wav" -v 1 "$work/wi_head.wav" "$work/wi_joined.wav"
    sox -R "$work/wi_bed.wav" "$work/wi_body.wav" trim "$wind_overlap" "$((wind_loop - wind_overlap))"
    sox -R "$work/wi_joined.wav" "$work/wi_body.wav" "$work/wi_loop.wav"
    # Gusts: 0.3 Hz is three swells in ten seconds.
    sox -R "$work/wi_loop.wav" "$work/wi_gusts.wav" tremolo 0.3 35
    # The encoder hears the loop's ends as steps out of and into silence: start
    # it where the wind is quiet, so what it makes of them stays below the wind.
    local start
    start=$(quiet_even_moment "$work/wi_gusts.wav")
    sox "$work/wi_gusts.wav" "$work/wi_from.wav" trim "${start}s"
    sox "$work/wi_gusts.wav" "$work/wi_to.wav" trim 0 "${start}s"
    sox "$work/wi_from.wav" "$work/wi_to.wav" "$work/hollowwind.wav"
}

# quiet_even_moment WAV: the sample of WAV whose 10 ms on either side are the
# quietest among those where the 50 ms before and after are within half a
# decibel of each other, so that a loop cut there joins like any moment of it.
quiet_even_moment() {
    /usr/bin/python3 - "$1" <<'PYTHON'
import array, math, sys, wave
with wave.open(sys.argv[1]) as sound:
    samples = array.array("h", sound.readframes(sound.getnframes()))
    rate = sound.getframerate()
near, side = rate // 100, rate // 20
energy = [0]
for s in samples:
    energy.append(energy[-1] + s * s)
def level(first, last):
    return energy[last] - energy[first]
def even(at):
    return abs(10 * math.log10(level(at - side, at) / level(at, at + side))) <= 0.5
candidates = (at for at in range(side, len(samples) - side) if even(at))
print(min(candidates, key=lambda at: level(at - near, at + near)))
PYTHON
}

mkdir -p "$out"
ship_explode
form
accelerate
spin
impact
planet_explosion
hollow_wind
for name in shipexplode form accelerate spin impact planetexplosion hollowwind; do
    encode "$name"
done
/usr/bin/python3 tools/check_sounds.py
