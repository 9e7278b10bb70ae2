#pragma once

#include "support/scoped_environment.h"

// Chooses SDL's audio driver for the life of a test, then puts the old choice
// back. SDL reads it each time audio starts, so a mixer opened meanwhile uses it.
class ScopedAudioDriver {
public:
    explicit ScopedAudioDriver(const char* driver) : variable_("SDL_AUDIODRIVER", driver) {}

private:
    ScopedEnvironment variable_;
};

// A driver no machine has: opening the output fails as it does with no sound card.
constexpr const char* kNoAudioDevice = "nonexistent";
