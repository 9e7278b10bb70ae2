#include "support/ceiling_runs.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

constexpr float kRecoverySeconds = 0.15f;

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
    const auto quieter = [](float a, float b) { return std::fabs(a) < std::fabs(b); };
    float gain = 1.0f;
    for (auto frame = interleaved.begin(); frame != interleaved.end(); frame += channels) {
        const float loudest = std::fabs(*std::max_element(frame, frame + channels, quieter));
        const float allowed = loudest > ceiling ? ceiling / loudest : 1.0f;
        gain = allowed < gain ? allowed : gain + (allowed - gain) * recovery;
        std::for_each(frame, frame + channels, [gain](float& sample) { sample *= gain; });
    }
    return interleaved;
}
