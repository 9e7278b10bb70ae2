#include "app/replay_player.h"

#include "app/game.h"
#include "app/input_manager.h"
#include "app/replay_reader.h"
#include "app/version.h"
#include "clock/elapsed_time.h"
#include "math/numeric.h"
#include "world/world.h"
#include "world/world_digest.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

namespace {

// A replay that falls this far behind its recording (a slow machine, a
// dragged window) starts its schedule afresh rather than rushing to catch up.
constexpr std::chrono::milliseconds kLongestLag{250};
// A fast replay that did not end where its recording did.
constexpr int kEndedElsewhereStatus = 1;

const char* outcomeName(const World& world) {
    if (world.showsWin()) {
        return "won";
    }
    return world.showsLoss() ? "lost" : "unfinished";
}

} // namespace

std::string ReplayPlayer::load(const std::string& path, bool fast) {
    ReplayReading reading = readReplayFile(path, kProgramVersion);
    if (!reading.problem.empty()) {
        return reading.problem;
    }
    notice_ = reading.notice;
    replay_ = std::move(reading.replay);
    loaded_ = true;
    fast_ = fast;
    return {};
}

void ReplayPlayer::begin() const {
    seedRandom(replay_.seed);
    driveElapsedMilliseconds(replay_.startMs);
    takeElapsedMilliseconds();
}

void ReplayPlayer::advance() {
    if (!prepareNextFrame()) {
        end();
        return;
    }
    if (!fast_) {
        waitForFrame();
    }
    frameDue_ = true;
    glutPostRedisplay();
}

// Between two frames nothing changes, so drawing the last one again changes
// nothing either.
void ReplayPlayer::show() {
    if (frameDue_) {
        frameDue_ = false;
        getGame().drawFrame();
    } else {
        getGame().redrawFrame();
    }
}

bool ReplayPlayer::prepareNextFrame() {
    while (next_ < replay_.steps.size()) {
        const ReplayStep& step = replay_.steps[next_++];
        if (step.kind == ReplayStep::Kind::Frame) {
            frameMs_ = step.clockMs;
            driveElapsedMilliseconds(frameMs_);
            return true;
        }
        feed(step);
    }
    return false;
}

void ReplayPlayer::waitForFrame() {
    const Clock::time_point now = Clock::now();
    const auto sinceAnchor = std::chrono::milliseconds(frameMs_ - anchorMs_);
    if (!anchored_ || now - (anchor_ + sinceAnchor) > kLongestLag) {
        anchored_ = true;
        anchor_ = now;
        anchorMs_ = frameMs_;
        return;
    }
    std::this_thread::sleep_until(anchor_ + sinceAnchor);
}

// A fast replay prints how the game ended and ends the program; one at the
// recorded pace stays on its last frame, and speaks only of a different end.
void ReplayPlayer::end() {
    glutIdleFunc(nullptr);
    const Ending ending = finish();
    const std::string line = outcome(ending);
    if (fast_) {
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
        std::exit(ending == Ending::Elsewhere ? kEndedElsewhereStatus : 0);
    }
    if (ending == Ending::Elsewhere) {
        std::fprintf(stderr, "%s: %s", kProgramName, line.c_str());
    }
}

ReplayPlayer::Ending ReplayPlayer::finish() {
    while (next_ < replay_.steps.size()) {
        feed(replay_.steps[next_++]);
    }
    if (!replay_.finalDigest) {
        return Ending::NothingToCompare;
    }
    return *replay_.finalDigest == worldDigest(getWorld()) ? Ending::AsRecorded : Ending::Elsewhere;
}

std::string ReplayPlayer::outcome(Ending ending) const {
    const World& world = getWorld();
    const char* const state = ending == Ending::AsRecorded ? "the final state is the recorded one"
                              : ending == Ending::Elsewhere
                                  ? "the final state differs from the recorded one"
                                  : "the recording holds no final state to compare";
    char line[256];
    const int planets = world.planetsFormed();
    std::snprintf(line, sizeof line, "%s: %d %s formed in %.2f s of game time; %s\n",
                  outcomeName(world), planets, planets == 1 ? "planet" : "planets",
                  world.gameSeconds(), state);
    return line;
}

void ReplayPlayer::feed(const ReplayStep& step) const {
    InputManager& input = getInputManager();
    input.placePointer(step.x, step.y);
    if (step.kind == ReplayStep::Kind::Button) {
        input.applyButton(step.button, step.state);
    }
}

ReplayPlayer& getReplayPlayer() {
    static ReplayPlayer* const player = new ReplayPlayer();
    return *player;
}
