#include "replay/replay_run.h"

#include "clock/elapsed_time.h"
#include "world/game_rules.h"
#include "world/game_screen.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <gtest/gtest.h>

namespace {

constexpr int kStartMs = 1000;
constexpr int kFrameMs = 16;
constexpr int kFrames = 250; // four seconds
constexpr unsigned kSeed = 99;

ReplayStep frameAt(int clockMs) {
    ReplayStep step;
    step.clockMs = clockMs;
    return step;
}

ReplayStep buttonAt(float x, float y, int state) {
    ReplayStep step;
    step.kind = ReplayStep::Kind::Button;
    step.x = x;
    step.y = y;
    step.state = state;
    return step;
}

// Plays `replay` through fresh rules; the digest after every frame is handed to `afterFrame`.
template <typename AfterFrame>
ReplayRun::Ending play(const Replay& replay, AfterFrame afterFrame,
                       std::optional<int>* firstDiffering = nullptr) {
    World world;
    GameRules rules(world);
    ReplayRun run(replay, rules);
    run.begin();
    while (run.prepareNextFrame()) {
        rules.frame();
        afterFrame(run.frameMs(), worldDigest(world));
    }
    const ReplayRun::Ending ending = run.finish();
    if (firstDiffering) {
        *firstDiffering = run.firstDifferingSecond();
    }
    releaseElapsedMilliseconds();
    currentScreen = GameScreen::Title;
    return ending;
}

// Two clicks through the menus, then a click that sends the ship off, at 60 Hz,
// with the state after the first frame of every whole second, as recorded.
Replay recordedGame() {
    Replay replay;
    replay.format = 2;
    replay.seed = kSeed;
    replay.startMs = kStartMs;
    for (int frame = 1; frame <= kFrames; ++frame) {
        if (frame == 10 || frame == 20 || frame == 40) {
            replay.steps.add(buttonAt(-30.0f, 20.0f, GameRules::kPressed));
            replay.steps.add(buttonAt(-30.0f, 20.0f, GameRules::kReleased));
        }
        replay.steps.add(frameAt(kStartMs + frame * kFrameMs));
        ++replay.frames;
    }
    int frame = 0;
    play(replay, [&replay, &frame](int clockMs, std::uint64_t digest) {
        ++frame;
        const int second = (clockMs - kStartMs) / 1000;
        const int last = replay.checkpoints.empty() ? 0 : replay.checkpoints.back().second;
        if (second > last) {
            replay.checkpoints.push_back(ReplayCheckpoint{frame, second, digest});
        }
        replay.finalDigest = digest;
    });
    return replay;
}

// Every click lands ten units to the right: the menus do not mind, the ship does.
void sendTheShipElsewhere(Replay& replay) {
    ReplaySteps moved;
    for (ReplayStep step : replay.steps) {
        if (step.kind == ReplayStep::Kind::Button) {
            step.x += 10.0f;
        }
        moved.add(step);
    }
    replay.steps = moved;
}

} // namespace

TEST(ReplayRun, NamesTheFirstSecondWhereTheGamePartsFromItsRecording) {
    const Replay recorded = recordedGame();
    ASSERT_EQ(recorded.checkpoints.size(), 4u);
    struct Case {
        const char* name;
        void (*change)(Replay&);
        ReplayRun::Ending ending;
        std::optional<int> firstDiffering;
    };
    const Case cases[] = {
        {"as recorded", [](Replay&) {}, ReplayRun::Ending::AsRecorded, std::nullopt},
        {"a checkpoint altered", [](Replay& r) { r.checkpoints[2].digest ^= 1; },
         ReplayRun::Ending::AsRecorded, 3},
        {"another seed", [](Replay& r) { r.seed += 1; }, ReplayRun::Ending::Elsewhere, 1},
        {"the ship sent elsewhere", sendTheShipElsewhere, ReplayRun::Ending::Elsewhere, 1},
        {"no final state", [](Replay& r) { r.finalDigest.reset(); },
         ReplayRun::Ending::NothingToCompare, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Replay replay = recorded;
        c.change(replay);
        std::optional<int> firstDiffering;
        EXPECT_EQ(play(
                      replay, [](int, std::uint64_t) {}, &firstDiffering),
                  c.ending);
        EXPECT_EQ(firstDiffering, c.firstDiffering);
    }
}
