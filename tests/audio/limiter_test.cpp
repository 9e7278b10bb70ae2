#include "audio/limiter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

// Half a second of a stereo tone, the right channel half as loud, through a
// fresh limiter: a mix that fits is left alone, any pile-up ends below full
// scale (the wind and four voices at their peaks add up to about 3.9).
TEST(Limiter, KeepsEveryPileUpBelowFullScaleAndLeavesAFittingMixAlone) {
    constexpr int kRate = 44100;
    struct Case {
        float amplitude;
        bool untouched;
    };
    for (const Case c : {Case{0.5f, true}, Case{0.85f, true}, Case{1.3f, false}, Case{3.9f, false},
                         Case{40.0f, false}}) {
        SCOPED_TRACE(c.amplitude);
        std::vector<float> mixed;
        for (int frame = 0; frame < kRate / 2; ++frame) {
            const float value = c.amplitude * std::sin(0.013f * static_cast<float>(frame));
            mixed.push_back(value);
            mixed.push_back(value / 2.0f);
        }
        std::vector<float> heard = mixed;
        Limiter limiter(kRate);
        limiter.process(heard.data(), kRate / 2, 2);

        const auto [quietest, loudest] = std::minmax_element(heard.begin(), heard.end());
        EXPECT_LE(std::max(-*quietest, *loudest), 0.9f);
        EXPECT_EQ(heard == mixed, c.untouched);
    }
}
