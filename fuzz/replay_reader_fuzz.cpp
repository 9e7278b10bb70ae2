// Feeds arbitrary bytes to the replay reader, as a damaged or hand-made
// recording would. Whatever it accepts must hold only what the game can be
// fed: a clock that never runs backwards, buttons GLUT can report, a pointer on
// the field, and whole frames.
#include "app/version.h"
#include "replay/replay_format.h"
#include "replay/replay_reader.h"
#include "world/field_bounds.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace replay_format;

bool onTheField(const ReplayStep& step) {
    return std::isfinite(step.x) && std::isfinite(step.y) && step.x >= kFieldLeft - kPointerSlack &&
           step.x <= kFieldRight + kPointerSlack && step.y >= kFieldBottom - kPointerSlack &&
           step.y <= kFieldTop + kPointerSlack;
}

bool playable(const ReplayStep& step, int& clockMs, int& frames) {
    switch (step.kind) {
    case ReplayStep::Kind::Frame:
        ++frames;
        if (step.clockMs < clockMs) {
            return false;
        }
        clockMs = step.clockMs;
        return true;
    case ReplayStep::Kind::Button:
        if (step.button < 0 || step.button > kHighestButton ||
            (step.state != kButtonDown && step.state != kButtonUp)) {
            return false;
        }
        return onTheField(step);
    case ReplayStep::Kind::Pointer:
        return onTheField(step);
    }
    return false;
}

void checkAccepted(const ReplayReading& reading) {
    const Replay& replay = reading.replay;
    int clockMs = replay.startMs;
    int frames = 0;
    for (const ReplayStep& step : replay.steps) {
        if (!playable(step, clockMs, frames)) {
            __builtin_trap();
        }
    }
    const bool cutShort = !reading.notice.empty();
    const bool endsAtAFrame =
        !replay.steps.empty() && replay.steps.back().kind == ReplayStep::Kind::Frame;
    if (replay.startMs < 0 || frames == 0 || frames != replay.frames ||
        cutShort == replay.finalDigest.has_value() || (cutShort && !endsAtAFrame)) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const ReplayReading reading = readReplay(bytes, kProgramVersion);
    if (reading.problem.empty()) {
        checkAccepted(reading);
    }
    return 0;
}
