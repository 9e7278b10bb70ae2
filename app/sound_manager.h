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

    // How many times effect `id` has been asked for since start, heard or not.
    int timesPlayed(int id) const;

private:
    static constexpr int kSlots = 7; // slot 0 is unused: ids start at 1
    int timesPlayed_[kSlots] = {};
};

SoundManager& getSoundManager();
