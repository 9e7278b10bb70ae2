#include "world/sound_sink.h"

namespace {

SoundSink soundSink = nullptr;

} // namespace

void setSoundSink(SoundSink sink) {
    soundSink = sink;
}

void playSound(SoundId id) {
    if (soundSink != nullptr) {
        soundSink(id);
    }
}
