#include "app/sound_manager.h"

// Stand-in until sound lands: the game plays in silence.

void SoundManager::load() {}
void SoundManager::play(int id) {
    if (id > 0 && id < kSlots) {
        ++timesPlayed_[id];
    }
}

int SoundManager::timesPlayed(int id) const {
    return id > 0 && id < kSlots ? timesPlayed_[id] : 0;
}
void SoundManager::playStream(const char*) {}

SoundManager& getSoundManager() {
    static SoundManager* const sound = new SoundManager();
    return *sound;
}
