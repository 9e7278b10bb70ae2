#include "audio/sound_manager.h"

#include "clock/elapsed_time.h"

namespace {

struct Effect {
    const char* file;
    // Younger than this, its latest playback is not joined by another.
    int minimumAgeMs;
};

// The world asks for the crashes and the chime once per event: a quarter second
// merges the contacts of one moment into one sound. The whir is asked for on
// every frame the button is held: it is renewed as the previous whir's tail
// fades, over its last 300 ms. The whoosh, never asked for yet, overlaps by half.
constexpr Effect kEffects[] = {
    {nullptr, 0},
    {"./sound/shipexplode.mp3", 250},
    {"./sound/form.mp3", 250},
    {"./sound/accelerate.mp3", 550},
    {"./sound/spin.mp3", 450},
    {"./sound/impact.mp3", 250},
    {"./sound/planetexplosion.mp3", 250},
};

bool isEffectId(int id) {
    return id >= ShipExplode && id <= PlanetExplosion;
}

} // namespace

void SoundManager::load() {
    if (muted_) {
        return;
    }
    output_.open();
    for (int id = ShipExplode; id <= PlanetExplosion; ++id) {
        samples_[id] = output_.loadEffect(kEffects[id].file);
    }
}

void SoundManager::play(int id) {
    if (!isEffectId(id)) {
        return;
    }
    ++timesPlayed_[id];
    const int nowMs = elapsedMilliseconds();
    if (latestIsYoung(id, nowMs)) {
        return;
    }
    if (output_.playEffect(samples_[id]) >= 0) {
        latestStartMs_[id] = nowMs;
    }
}

// A clock that went back (a test driving it) leaves nothing young.
bool SoundManager::latestIsYoung(int id, int nowMs) const {
    if (!latestStartMs_[id]) {
        return false;
    }
    const int age = nowMs - *latestStartMs_[id];
    return age >= 0 && age < kEffects[id].minimumAgeMs;
}

void SoundManager::playStream(const char* path) {
    if (muted_) {
        return;
    }
    output_.releaseLoop(stream_);
    stream_ = output_.openLoop(path);
}

int SoundManager::timesPlayed(int id) const {
    return isEffectId(id) ? timesPlayed_[id] : 0;
}

int SoundManager::sample(int id) const {
    return isEffectId(id) ? samples_[id] : 0;
}

SoundManager& getSoundManager() {
    static SoundManager* const sound = new SoundManager();
    return *sound;
}
