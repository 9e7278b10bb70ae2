#pragma once

// Effect ids, as the callers pass them to SoundManager::play.
enum SoundId : int {
    ShipExplode = 1,
    Form = 2,
    Accelerate = 3,
    Spin = 4,
    Impact = 5,
    PlanetExplosion = 6,
};

// The six effects by id and the one looping background sound.
class SoundManager {
public:
    void load();
    void play(int id);
    void playStream(const char* path);
};

SoundManager& getSoundManager();
