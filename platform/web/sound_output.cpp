#include "platform/sound_output.h"

#include <cstdio>

// The sound lives on the page's side (web_sound.js), which knows no handle it
// did not give: only making sounds needs the output open.
extern "C" {
int webSoundOpen();
int webSoundLoadEffect(const char* path);
int webSoundPlayEffect(int effect);
int webSoundOpenLoop(const char* path);
void webSoundReleaseLoop(int loop);
int webSoundPlaybacksSounding(int effect);
int webSoundIsLooping(int loop);
int webSoundLoopsOpen();
}

namespace {

constexpr const char* kSilenceNotice = "vantorel: no audio device, playing in silence\n";

} // namespace

struct SoundOutput::Device {
    bool open = false;
};

SoundOutput::SoundOutput() : device_(new Device()) {}

SoundOutput::~SoundOutput() = default;

bool SoundOutput::open() {
    if (!device_->open) {
        device_->open = webSoundOpen() != 0;
        if (!device_->open) {
            std::fputs(kSilenceNotice, stderr);
        }
    }
    return device_->open;
}

bool SoundOutput::isOpen() const {
    return device_->open;
}

int SoundOutput::loadEffect(const char* path) {
    return device_->open ? webSoundLoadEffect(path) : 0;
}

int SoundOutput::playEffect(int effect) {
    return webSoundPlayEffect(effect);
}

int SoundOutput::openLoop(const char* path) {
    return device_->open ? webSoundOpenLoop(path) : 0;
}

void SoundOutput::releaseLoop(int loop) {
    webSoundReleaseLoop(loop);
}

int SoundOutput::playbacksSounding(int effect) const {
    return webSoundPlaybacksSounding(effect);
}

bool SoundOutput::isLooping(int loop) const {
    return webSoundIsLooping(loop) != 0;
}

int SoundOutput::loopsOpen() const {
    return webSoundLoopsOpen();
}
