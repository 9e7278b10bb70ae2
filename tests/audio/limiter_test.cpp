#include "audio/limiter.h"

#include "support/ceiling_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// Half a step of the 16-bit output: a sample this close to the ceiling is heard at it.
constexpr float kHeardAtTheCeiling = 0.5f / 32768.0f;
// Around a slow peak even an untouched wave spends up to three samples within that.
constexpr int kLongestRunOfAPeak = 3;

// A stereo tone of `seconds`, the right channel half as loud.
std::vector<float> tone(float amplitude, float hertz, float seconds) {
    std::vector<float> samples;
    for (int frame = 0; frame < static_cast<int>(seconds * kRate); ++frame) {
        const float value = amplitude * std::sin(6.2831853f * hertz * static_cast<float>(frame) /
                                                 static_cast<float>(kRate));
        samples.insert(samples.end(), {value, value / 2.0f});
    }
    return samples;
}

std::vector<float> limited(std::vector<float> samples, Limiter& limiter) {
    limiter.process(samples.data(), static_cast<int>(samples.size()) / kChannels);
    return samples;
}

// `samples` as a limiter that leaves them alone gives them: the same, only later.
std::vector<float> delayed(const std::vector<float>& samples, const Limiter& limiter) {
    std::vector<float> later(static_cast<std::size_t>(limiter.latencyFrames() * kChannels), 0.0f);
    later.insert(later.end(), samples.begin(), samples.end() - static_cast<long>(later.size()));
    return later;
}

float loudest(const std::vector<float>& samples) {
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    return std::max(-*low, *high);
}

int runAtCeiling(const std::vector<float>& samples) {
    return longestRunAtCeiling(samples, kChannels, Limiter::kCeiling, kHeardAtTheCeiling);
}

} // namespace

// Half a second of a tone through a fresh limiter: a mix that fits comes out
// unchanged, only later; any pile-up ends below full scale (the wind and four
// voices at their peaks add up to about 3.9).
TEST(Limiter, KeepsEveryPileUpBelowFullScaleAndLeavesAFittingMixAlone) {
    struct Case {
        float amplitude;
        bool untouched;
    };
    for (const Case c : {Case{0.5f, true}, Case{0.85f, true}, Case{1.3f, false}, Case{3.9f, false},
                         Case{40.0f, false}}) {
        SCOPED_TRACE(c.amplitude);
        const std::vector<float> mixed = tone(c.amplitude, 350.0f, 0.5f);
        Limiter limiter(kRate, kChannels);

        const std::vector<float> heard = limited(mixed, limiter);

        EXPECT_LE(loudest(heard), Limiter::kCeiling + 1e-6f);
        EXPECT_EQ(heard == delayed(mixed, limiter), c.untouched);
    }
}

// The tops of limited peaks keep their shape: only the very top reaches the
// ceiling, and the peaks still reach it, so the check is not met by turning
// everything down. A clamp without look-ahead is the check's negative control.
TEST(Limiter, PeaksReachTheCeilingWithoutFlatTops) {
    struct Case {
        float amplitude;
        float hertz;
    };
    for (const Case c :
         {Case{1.3f, 30.0f}, Case{2.0f, 440.0f}, Case{3.9f, 110.0f}, Case{40.0f, 1000.0f}}) {
        SCOPED_TRACE(testing::Message() << c.amplitude << " at " << c.hertz << " Hz");
        const std::vector<float> mixed = tone(c.amplitude, c.hertz, 0.5f);
        Limiter limiter(kRate, kChannels);

        const std::vector<float> heard = limited(mixed, limiter);

        EXPECT_LE(runAtCeiling(heard), kLongestRunOfAPeak);
        EXPECT_GT(loudest(heard), 0.97f * Limiter::kCeiling);
        EXPECT_GT(runAtCeiling(clampedFrameByFrame(mixed, kChannels, Limiter::kCeiling, kRate)),
                  kLongestRunOfAPeak);
    }
}

// After a burst the limiter had to turn down, a mix that fits passes exactly
// as it came again, however deep the burst went.
TEST(Limiter, TheGainComesBackToExactlyOneAfterABurst) {
    for (const float burst : {0.9f, 1.3f, 3.9f, 40.0f}) {
        SCOPED_TRACE(burst);
        const std::vector<float> quiet = tone(0.5f, 350.0f, 1.5f);
        Limiter limiter(kRate, kChannels);
        limited(tone(burst, 220.0f, 0.1f), limiter);
        EXPECT_LT(limiter.gain(), 1.0f);

        const std::vector<float> heard = limited(quiet, limiter);

        EXPECT_EQ(limiter.gain(), 1.0f);
        const long lastTenth = kRate / 10 * kChannels;
        EXPECT_TRUE(std::equal(heard.end() - lastTenth, heard.end(),
                               delayed(quiet, limiter).end() - lastTenth));
    }
}
