#include "app/sound_manager.h"

// Stand-in until sound lands: the game plays in silence.

void SoundManager::load() {}
void SoundManager::play(int) {}
void SoundManager::playStream(const char*) {}

SoundManager& getSoundManager() {
    static SoundManager* const sound = new SoundManager();
    return *sound;
}
