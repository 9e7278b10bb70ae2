// Feeds arbitrary bytes to the replay reader, as a damaged or hand-made
// recording would. Whatever it accepts must hold only what the game can be
// fed: a clock that never runs backwards, buttons GLUT can report, a pointer on
// the field, and whole frames, held in no more memory than the file.
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

void checkAccepted(const ReplayReading& reading, std::size_t size) {
    const Replay& replay = reading.replay;
    int clockMs = replay.startMs;
    int frames = 0;
    std::size_t steps = 0;
    bool endsAtAFrame = false;
    for (const ReplayStep& step : replay.steps) {
        if (!playable(step, clockMs, frames)) {
            __builtin_trap();
        }
        ++steps;
        endsAtAFrame = step.kind == ReplayStep::Kind::Frame;
    }
    // The steps are held packed: no more memory than the file they came from.
    const bool compact = replay.steps.bytesHeld() <= size;
    const bool cutShort = !reading.notice.empty();
    if (replay.startMs < 0 || frames == 0 || frames != replay.frames ||
        steps != replay.steps.size() || !compact || cutShort == replay.finalDigest.has_value() ||
        (cutShort && !endsAtAFrame)) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const ReplayReading reading = readReplay(bytes, kProgramVersion);
    if (reading.problem.empty()) {
        checkAccepted(reading, size);
    }
    return 0;
}
