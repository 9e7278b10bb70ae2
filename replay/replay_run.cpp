#include "replay/replay_run.h"

#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "world/game_rules.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <cstdio>

ReplayRun::ReplayRun(const Replay& replay, GameRules& rules)
    : replay_(replay), rules_(rules), next_(replay.steps.begin()) {}

void ReplayRun::begin() const {
    seedRandom(replay_.seed);
    driveElapsedMilliseconds(replay_.startMs);
    takeElapsedMilliseconds();
    rules_.start();
}

bool ReplayRun::prepareNextFrame() {
    compareCheckpoints();
    while (next_ != replay_.steps.end()) {
        const ReplayStep step = *next_;
        ++next_;
        if (step.kind == ReplayStep::Kind::Frame) {
            frameMs_ = step.clockMs;
            driveElapsedMilliseconds(frameMs_);
            takeElapsedMilliseconds();
            ++framesRun_;
            return true;
        }
        feed(step);
    }
    return false;
}

// Before anything recorded after the frame is fed: events change the state.
void ReplayRun::compareCheckpoints() {
    const std::vector<ReplayCheckpoint>& checkpoints = replay_.checkpoints;
    while (nextCheckpoint_ < checkpoints.size() &&
           checkpoints[nextCheckpoint_].frame <= framesRun_) {
        const ReplayCheckpoint& checkpoint = checkpoints[nextCheckpoint_++];
        if (!firstDifferingSecond_ && checkpoint.frame == framesRun_ &&
            checkpoint.digest != worldDigest(rules_.world())) {
            firstDifferingSecond_ = checkpoint.second;
        }
    }
}

ReplayRun::Ending ReplayRun::finish() {
    compareCheckpoints();
    for (; next_ != replay_.steps.end(); ++next_) {
        feed(*next_);
    }
    if (!replay_.finalDigest) {
        return Ending::NothingToCompare;
    }
    return *replay_.finalDigest == worldDigest(rules_.world()) ? Ending::AsRecorded
                                                               : Ending::Elsewhere;
}

void ReplayRun::feed(const ReplayStep& step) const {
    rules_.setPointer(step.x, step.y);
    if (step.kind == ReplayStep::Kind::Button) {
        rules_.applyButton(step.button, step.state);
    }
}

const char* outcomeName(const World& world) {
    if (world.showsWin()) {
        return "won";
    }
    return world.showsLoss() ? "lost" : "unfinished";
}

std::string comparisonText(ReplayRun::Ending ending, std::optional<int> firstDifferingSecond) {
    switch (ending) {
    case ReplayRun::Ending::AsRecorded:
        return "the final state is the recorded one";
    case ReplayRun::Ending::Elsewhere:
        break;
    case ReplayRun::Ending::NothingToCompare:
        return "the recording holds no final state to compare";
    }
    std::string text = "the final state differs from the recorded one";
    if (firstDifferingSecond) {
        text += ", first at second " + std::to_string(*firstDifferingSecond);
    }
    return text;
}

std::string outcomeText(const World& world) {
    char line[96];
    const int planets = world.planetsFormed();
    std::snprintf(line, sizeof line, "%s: %d %s formed in %.2f s of game time", outcomeName(world),
                  planets, planets == 1 ? "planet" : "planets", world.gameSeconds());
    return line;
}
