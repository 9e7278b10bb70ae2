#include "app/frame_pacer.h"

#include "app/options.h"

#include <gtest/gtest.h>

namespace {

using Clock = FramePacer::Clock;
using std::chrono::microseconds;

constexpr Clock::time_point kStart{std::chrono::seconds(100)};

Clock::time_point at(long long us) {
    return kStart + microseconds(us);
}

} // namespace

TEST(FramePacer, KeepsTheCadenceAndStartsAfreshAfterAStall) {
    FramePacer pacer(50.0); // a frame every 20 ms
    struct Step {
        long long readyUs;
        long long dueUs;
    };
    const Step steps[] = {
        {0, 0},           // the first frame is due at once
        {5000, 20000},    // a quick frame waits for its turn
        {21000, 40000},   // a late wake-up does not shift the cadence
        {45000, 60000},   // a slow frame within a period is caught up
        {200000, 200000}, // a stall: no burst of frames to catch up
        {201000, 220000},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(pacer.nextFrameAt(at(step.readyUs)), at(step.dueUs)) << step.readyUs;
    }
}

TEST(FramePacer, UnpacedFramesAreDueAtOnce) {
    FramePacer pacer(0.0);
    EXPECT_FALSE(pacer.paced());
    EXPECT_EQ(pacer.nextFrameAt(at(0)), at(0));
    EXPECT_EQ(pacer.nextFrameAt(at(100)), at(100));
}

TEST(FramePacer, RateFollowsTheScreenUnlessThePlayerSetsIt) {
    struct Case {
        int maxFps;
        double refreshHz;
        double framesPerSecond;
    };
    const Case cases[] = {
        {Options::kPacedToScreen, 0.0, 60.0},
        {Options::kPacedToScreen, 144.0, 144.0},
        {Options::kPacedToScreen, 59.94, 59.94},
        {Options::kUnpaced, 60.0, 0.0},
        {30, 60.0, 30.0},
        {240, 0.0, 240.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(pacedFramesPerSecond(c.maxFps, c.refreshHz), c.framesPerSecond)
            << c.maxFps << " at " << c.refreshHz << " Hz";
    }
}
