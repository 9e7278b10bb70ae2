#pragma once

#include "replay/replay_steps.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The state a recorded game was in after one of its frames.
struct ReplayCheckpoint {
    // The frame, counted from 1, after which the state was taken.
    int frame = 0;
    // The whole second of the game's clock, since the start, the frame reached.
    int second = 0;
    std::uint64_t digest = 0;
};

// A recorded game, as read from its file.
struct Replay {
    int format = 0;
    std::string gameVersion;
    // The random seed and the clock reading the game started with.
    unsigned seed = 0;
    int startMs = 0;
    // Ends at the last whole frame, or with the events that came after it.
    ReplaySteps steps;
    int frames = 0;
    // In the order of their frames; none in a recording of format 1.
    std::vector<ReplayCheckpoint> checkpoints;
    // A digest of the state the recorded game ended in; none when the
    // recording was cut short (a crash, a kill).
    std::optional<std::uint64_t> finalDigest;
};
