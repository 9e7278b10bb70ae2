#include "support/ceiling_runs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr float kRecoverySeconds = 0.15f;

float loudestOf(const float* frame, int channels) {
    float loudest = 0.0f;
    for (int channel = 0; channel < channels; ++channel) {
        loudest = std::max(loudest, std::fabs(frame[channel]));
    }
    return loudest;
}

} // namespace

int longestRunAtCeiling(const std::vector<float>& interleaved, int channels, float ceiling,
                        float within) {
    int longest = 0;
    for (int channel = 0; channel < channels; ++channel) {
        int run = 0;
        for (std::size_t i = static_cast<std::size_t>(channel); i < interleaved.size();
             i += static_cast<std::size_t>(channels)) {
            run = std::fabs(interleaved[i]) >= ceiling - within ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

std::vector<float> clampedFrameByFrame(std::vector<float> interleaved, int channels, float ceiling,
                                       int framesPerSecond) {
    const float recovery =
        1.0f - std::exp(-1.0f / (kRecoverySeconds * static_cast<float>(framesPerSecond)));
    float gain = 1.0f;
    for (std::size_t first = 0; first + static_cast<std::size_t>(channels) <= interleaved.size();
         first += static_cast<std::size_t>(channels)) {
        float* const frame = &interleaved[first];
        const float loudest = loudestOf(frame, channels);
        const float allowed = loudest > ceiling ? ceiling / loudest : 1.0f;
        gain = allowed < gain ? allowed : gain + (allowed - gain) * recovery;
        for (int channel = 0; channel < channels; ++channel) {
            frame[channel] *= gain;
        }
    }
    return interleaved;
}
