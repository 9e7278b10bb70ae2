#include "audio/limiter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kCeiling = 0.891f;        // -1 dBFS: headroom for the converters after us
constexpr float kRecoverySeconds = 0.15f; // slow enough not to pump on a sound's own cycles

float loudestOf(const float* frame, int channels) {
    float loudest = 0.0f;
    for (int channel = 0; channel < channels; ++channel) {
        loudest = std::max(loudest, std::fabs(frame[channel]));
    }
    return loudest;
}

} // namespace

Limiter::Limiter(int framesPerSecond)
    : recovery_(1.0f - std::exp(-1.0f / (kRecoverySeconds * static_cast<float>(framesPerSecond)))) {
}

// Never above what the frame allows, so no sample leaves louder than the ceiling.
void Limiter::process(float* samples, int frames, int channels) {
    for (int frame = 0; frame < frames; ++frame) {
        float* const first = samples + frame * channels;
        const float loudest = loudestOf(first, channels);
        const float allowed = loudest > kCeiling ? kCeiling / loudest : 1.0f;
        gain_ = allowed < gain_ ? allowed : gain_ + (allowed - gain_) * recovery_;
        for (int channel = 0; channel < channels; ++channel) {
            first[channel] *= gain_;
        }
    }
}
