#include "replay/replay_steps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using Kind = ReplayStep::Kind;

ReplayStep frameAt(int clockMs) {
    ReplayStep step;
    step.clockMs = clockMs;
    return step;
}

ReplayStep event(Kind kind, float x, float y, int button = 0, int state = 0) {
    ReplayStep step;
    step.kind = kind;
    step.x = x;
    step.y = y;
    step.button = button;
    step.state = state;
    return step;
}

std::vector<ReplayStep> stepsIn(const ReplaySteps& steps) {
    return std::vector<ReplayStep>(steps.begin(), steps.end());
}

void expectSameSteps(const std::vector<ReplayStep>& read, const std::vector<ReplayStep>& added) {
    ASSERT_EQ(read.size(), added.size());
    for (std::size_t i = 0; i < added.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].kind, added[i].kind);
        EXPECT_EQ(std::signbit(read[i].x), std::signbit(added[i].x));
        EXPECT_EQ(read[i].x, added[i].x);
        EXPECT_EQ(read[i].y, added[i].y);
        EXPECT_EQ(read[i].button, added[i].button);
        EXPECT_EQ(read[i].state, added[i].state);
        EXPECT_EQ(read[i].clockMs, added[i].clockMs);
    }
}

} // namespace

TEST(ReplaySteps, GivesBackEveryStepAsAdded) {
    const float smallest = std::numeric_limits<float>::denorm_min();
    const std::vector<ReplayStep> added = {
        event(Kind::Pointer, -50.0f, 37.5f),
        frameAt(0),
        frameAt(17),
        frameAt(17), // two frames in one millisecond
        event(Kind::Button, -0.0f, smallest, 254, 1),
        frameAt(2147483000), // a clock near its end, reached in one step
        event(Kind::Button, 12.25f, -37.5f, 0, 0),
        frameAt(2147483647),
        event(Kind::Pointer, 1e-3f, -1e-3f),
    };
    ReplaySteps steps;
    for (const ReplayStep& step : added) {
        steps.add(step);
    }
    EXPECT_EQ(steps.size(), added.size());
    expectSameSteps(stepsIn(steps), added);
    EXPECT_TRUE(ReplaySteps().empty());
    EXPECT_EQ(ReplaySteps().begin(), ReplaySteps().end());
}

TEST(ReplaySteps, ForgetsWhatCameAfterTheLastFrame) {
    const std::vector<ReplayStep> kept = {event(Kind::Pointer, 1.0f, 2.0f), frameAt(16),
                                          event(Kind::Button, 3.0f, 4.0f), frameAt(33)};
    const struct {
        const char* name;
        std::vector<ReplayStep> after;
    } cases[] = {
        {"nothing after", {}},
        {"a move", {event(Kind::Pointer, 5.0f, 6.0f)}},
        {"a click", {event(Kind::Button, 5.0f, 6.0f), event(Kind::Button, 5.0f, 6.0f, 0, 1)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReplaySteps steps;
        for (const ReplayStep& step : kept) {
            steps.add(step);
        }
        for (const ReplayStep& step : c.after) {
            steps.add(step);
        }
        steps.dropAfterLastFrame();
        EXPECT_EQ(steps.size(), kept.size());
        expectSameSteps(stepsIn(steps), kept);
    }
}

TEST(ReplaySteps, HoldAFrameAt60HzInTwoBytes) {
    constexpr int kFrames = 3600;
    constexpr std::size_t kBytesAFrame = 2;
    constexpr std::size_t kFirstClock = 1; // the first reading counts from 0
    ReplaySteps steps;
    steps.reserve(kFrames * kBytesAFrame + kFirstClock); // grows only if they take more
    for (int frame = 0; frame < kFrames; ++frame) {
        steps.add(frameAt(1000 + frame * 50 / 3));
    }
    EXPECT_EQ(steps.bytesHeld(), kFrames * kBytesAFrame + kFirstClock);
    int frames = 0;
    for (const ReplayStep& step : steps) {
        EXPECT_EQ(step.clockMs, 1000 + frames * 50 / 3);
        ++frames;
    }
    EXPECT_EQ(frames, kFrames);
}
