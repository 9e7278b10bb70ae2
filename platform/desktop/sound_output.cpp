#include "platform/sound_output.h"

#include "platform/desktop/audio_mixer.h"

static_assert(SoundOutput::kPlaybacksPerEffect == AudioMixer::kPlaybacksPerEffect,
              "the sound output plays what the mixer can");

// The desktop's sound is our thin layer over SDL2_mixer.
struct SoundOutput::Device {
    AudioMixer mixer;
};

SoundOutput::SoundOutput() : device_(new Device()) {}

SoundOutput::~SoundOutput() = default;

bool SoundOutput::open() {
    return device_->mixer.open();
}

bool SoundOutput::isOpen() const {
    return device_->mixer.isOpen();
}

int SoundOutput::loadEffect(const char* path) {
    return device_->mixer.loadEffect(path);
}

int SoundOutput::playEffect(int effect) {
    return device_->mixer.playEffect(effect);
}

int SoundOutput::openLoop(const char* path) {
    return device_->mixer.openLoop(path);
}

void SoundOutput::releaseLoop(int loop) {
    device_->mixer.releaseLoop(loop);
}

int SoundOutput::playbacksSounding(int effect) const {
    return device_->mixer.playbacksSounding(effect);
}

bool SoundOutput::isLooping(int loop) const {
    return device_->mixer.isLooping(loop);
}

int SoundOutput::loopsOpen() const {
    return device_->mixer.loopsOpen();
}
