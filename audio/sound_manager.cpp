#include "audio/sound_manager.h"

namespace {

constexpr const char* kEffectFiles[] = {
    nullptr,
    "./sound/shipexplode.mp3",
    "./sound/form.mp3",
    "./sound/accelerate.mp3",
    "./sound/spin.mp3",
    "./sound/impact.mp3",
    "./sound/planetexplosion.mp3",
};

bool isEffectId(int id) {
    return id >= ShipExplode && id <= PlanetExplosion;
}

} // namespace

void SoundManager::load() {
    if (muted_) {
        return;
    }
    mixer_.open();
    for (int id = ShipExplode; id <= PlanetExplosion; ++id) {
        samples_[id] = mixer_.loadEffect(kEffectFiles[id]);
    }
}

void SoundManager::play(int id) {
    if (!isEffectId(id)) {
        return;
    }
    ++timesPlayed_[id];
    mixer_.playEffect(samples_[id]);
}

void SoundManager::playStream(const char* path) {
    if (muted_) {
        return;
    }
    mixer_.releaseLoop(stream_);
    stream_ = mixer_.openLoop(path);
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
