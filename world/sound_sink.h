#pragma once

// The effects the rules ask for, by id.
enum SoundId : int {
    ShipExplode = 1,
    Form = 2,
    Accelerate = 3,
    Spin = 4,
    Impact = 5,
    PlanetExplosion = 6,
};

// Where the world's requests for sound go. The game sends them to its sound
// manager; where nothing plays them (a replay checked without a window, the
// rules' own tests) they go nowhere, and the rules run the same either way.
using SoundSink = void (*)(SoundId id);

// Null for silence, which is also where the rules start.
void setSoundSink(SoundSink sink);
void playSound(SoundId id);
