#pragma once

#include "world/sound_sink.h"

// Counts the sounds the rules ask for while it lives, in place of a sound
// manager: the rules' tests hear nothing and need no audio.
class SoundRequests {
public:
    SoundRequests();
    ~SoundRequests();
    SoundRequests(const SoundRequests&) = delete;
    SoundRequests& operator=(const SoundRequests&) = delete;

    int count(SoundId id) const;
};
