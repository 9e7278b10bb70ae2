#pragma once

#include <cstdlib>
#include <string>

// Chooses SDL's audio driver for the life of a test, then puts the old choice
// back. SDL reads it each time audio starts, so a mixer opened meanwhile uses it.
class ScopedAudioDriver {
public:
    explicit ScopedAudioDriver(const char* driver) {
        const char* const previous = std::getenv(kVariable);
        hadPrevious_ = previous != nullptr;
        previous_ = previous ? previous : "";
        setenv(kVariable, driver, 1);
    }
    ~ScopedAudioDriver() {
        if (hadPrevious_) {
            setenv(kVariable, previous_.c_str(), 1);
        } else {
            unsetenv(kVariable);
        }
    }
    ScopedAudioDriver(const ScopedAudioDriver&) = delete;
    ScopedAudioDriver& operator=(const ScopedAudioDriver&) = delete;

private:
    static constexpr const char* kVariable = "SDL_AUDIODRIVER";
    bool hadPrevious_ = false;
    std::string previous_;
};

// A driver no machine has: opening the output fails as it does with no sound card.
constexpr const char* kNoAudioDevice = "nonexistent";
