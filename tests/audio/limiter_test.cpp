#include "audio/limiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr float kPi = 3.14159265f;

// `seconds` of a stereo tone at `amplitude`, the right channel half as loud.
std::vector<float> tone(float amplitude, float seconds, float hertz = 92.0f) {
    const int frames = static_cast<int>(seconds * kRate);
    std::vector<float> samples;
    for (int frame = 0; frame < frames; ++frame) {
        const float value = amplitude * std::sin(2.0f * kPi * hertz * frame / kRate);
        samples.push_back(value);
        samples.push_back(value / 2.0f);
    }
    return samples;
}

float loudest(const std::vector<float>& samples) {
    float peak = 0.0f;
    for (const float sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    return peak;
}

void limit(Limiter& limiter, std::vector<float>& samples) {
    limiter.process(samples.data(), static_cast<int>(samples.size()) / kChannels, kChannels);
}

} // namespace

TEST(Limiter, KeepsEveryPileUpBelowFullScaleAndLeavesAFittingMixAlone) {
    struct Case {
        float amplitude; // the wind and four voices at their peaks add up to about 3.9
        bool untouched;
    };
    for (const Case c : {Case{0.5f, true}, Case{0.85f, true}, Case{1.3f, false}, Case{3.9f, false},
                         Case{40.0f, false}}) {
        SCOPED_TRACE(c.amplitude);
        Limiter limiter(kRate);
        const std::vector<float> mixed = tone(c.amplitude, 0.5f);
        std::vector<float> heard = mixed;
        limit(limiter, heard);
        EXPECT_LE(loudest(heard), 0.9f);
        EXPECT_EQ(heard == mixed, c.untouched);
    }
}

TEST(Limiter, ComesBackToFullGainAfterALoudMoment) {
    Limiter limiter(kRate);
    std::vector<float> burst = tone(3.0f, 0.2f);
    limit(limiter, burst);
    ASSERT_LT(limiter.gain(), 0.35f);

    std::vector<float> quiet = tone(0.3f, 0.2f);
    limit(limiter, quiet);
    EXPECT_LT(limiter.gain(), 0.9f) << "no pumping within the sound's own cycles";
    std::vector<float> later = tone(0.3f, 1.0f);
    limit(limiter, later);
    EXPECT_GT(limiter.gain(), 0.99f);
}
