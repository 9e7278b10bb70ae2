#include "platform/desktop/frame_pacer.h"

#include "app/options.h"

#include <gtest/gtest.h>

TEST(FramePacer, KeepsTheCadenceAndStartsAfreshAfterAStall) {
    const FramePacer::Clock::time_point start{std::chrono::seconds(100)};
    const auto at = [&](int us) { return start + std::chrono::microseconds(us); };
    FramePacer pacer(50.0); // a frame every 20 ms
    const int readyAndDue[][2] = {
        {0, 0},           // the first frame is due at once
        {5000, 20000},    // a quick frame waits for its turn
        {21000, 40000},   // a late wake-up does not shift the cadence
        {45000, 60000},   // a frame late by less than a period is caught up
        {200000, 200000}, // a stall: no burst of frames to catch up
        {201000, 220000},
    };
    for (const auto& step : readyAndDue) {
        EXPECT_EQ(pacer.nextFrameAt(at(step[0])), at(step[1])) << step[0];
    }
    FramePacer unpaced(0.0);
    EXPECT_EQ(unpaced.nextFrameAt(at(5)), at(5));
    EXPECT_EQ(unpaced.nextFrameAt(at(6)), at(6));
}

TEST(FramePacer, RateFollowsTheScreenUnlessThePlayerSetsIt) {
    const double cases[][3] = {
        // --max-fps, screen refresh, frames per second
        {Options::kPacedToScreen, 0.0, 60.0},
        {Options::kPacedToScreen, 144.0, 144.0},
        {Options::kUnpaced, 60.0, 0.0},
        {30, 60.0, 30.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(pacedFramesPerSecond(static_cast<int>(c[0]), c[1]), c[2]) << c[0];
    }
}
